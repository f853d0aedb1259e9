#include <algorithm>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>

#include <halven/decimation/orchestrator.h>

#include "halven/background/background_fixture.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    namespace
    {
        using Result = Orchestrator< SurfaceEdge2D >::ProcessElementResult;
        using VertexPair = std::pair< index_t, index_t >;

        VertexPair pair_of( const SurfaceEdge2D& edge )
        {
            return { edge.vertices[0], edge.vertices[1] };
        }

        // Hands every edge to callbacks and records the edges it is given.
        class RecordingOrchestrator : public Orchestrator< SurfaceEdge2D >
        {
        public:
            RecordingOrchestrator( const TriangulatedSurface2D& surface,
                index_t levels, bool skip_loops )
                : Orchestrator< SurfaceEdge2D >( surface ), levels_( levels ),
                  skip_loops_( skip_loops )
            {
            }

            std::function< bool( const SurfaceEdge2D& ) > skip =
                []( const SurfaceEdge2D& ) {
                    return false;
                };
            std::function< std::optional< Result >( const SurfaceEdge2D& ) >
                process = []( const SurfaceEdge2D& ) {
                    return std::optional< Result >{};
                };
            // Recording is not part of what skip_element answers.
            mutable std::vector< SurfaceEdge2D > asked;
            std::vector< SurfaceEdge2D > processed;

        protected:
            bool skip_element( const SurfaceEdge2D& edge ) const override
            {
                asked.push_back( edge );
                return skip( edge );
            }
            std::optional< Result > process_element(
                const SurfaceEdge2D& edge ) override
            {
                processed.push_back( edge );
                return process( edge );
            }
            bool skip_on_infinite_loop() const override
            {
                return skip_loops_;
            }
            index_t nb_levels() const override
            {
                return levels_;
            }

        private:
            index_t levels_;
            bool skip_loops_;
        };


        std::multiset< VertexPair > edges_around(
            const TriangulatedSurface2D& surface,
            absl::Span< const index_t > vertices )
        {
            std::set< VertexPair > unique;
            for( const auto vertex : vertices )
            {
                for( const auto neighbour :
                    surface.vertices_around_vertex( vertex ) )
                {
                    unique.emplace( std::min( vertex, neighbour ),
                        std::max( vertex, neighbour ) );
                }
            }
            return { unique.begin(), unique.end() };
        }

        std::multiset< VertexPair > pairs_of(
            absl::Span< const SurfaceEdge2D > edges )
        {
            std::multiset< VertexPair > pairs;
            for( const auto& edge : edges )
            {
                pairs.insert( pair_of( edge ) );
            }
            return pairs;
        }

        // In the 4 x 4 grid: the inner vertex (1, 1), its neighbours (2, 1)
        // and (2, 2), and the far corner (4, 4).
        constexpr index_t V11 = 6;
        constexpr index_t V21 = 7;
        constexpr index_t V22 = 12;
        constexpr index_t V44 = 24;
    } // namespace

    TEST( SurfaceEdge, sorts_its_vertices )
    {
        const auto surface = brevane::test::grid_surface< 2 >( 1, 1 );
        // Triangle 0 is (0, 1, 3): its edge 2 runs from 3 to 0.
        const SurfaceEdge2D edge{ *surface, PolygonEdge{ 0, 2 } };
        EXPECT_EQ( edge.polygon_edge, ( PolygonEdge{ 0, 2 } ) );
        EXPECT_THAT( edge.vertices, testing::ElementsAre( 0, 3 ) );
    }

    // Edges are given with the polygon edges they had before a collapse
    // removed two triangles and a vertex: every edge handed on joins its two
    // vertices in a live triangle at that moment, and the edges of the
    // removed vertex are never handed on once it is gone.
    TEST( Orchestrator, finds_edges_again_and_skips_vanished_ones )
    {
        test::BackgroundFixture fixture{ brevane::test::grid_surface< 2 >(
            4, 4 ) };
        const auto& mesh = fixture.mesh();
        auto& modifier = *fixture.modifier;
        RecordingOrchestrator orchestrator{ mesh, 4, false };
        bool collapsed{ false };
        std::vector< std::string > problems;
        orchestrator.skip = [&]( const SurfaceEdge2D& edge ) {
            const auto vertices =
                mesh.polygon_edge_vertices( edge.polygon_edge );
            if( modifier.is_polygon_deleted( edge.polygon_edge.polygon_id )
                || std::minmax( vertices[0], vertices[1] )
                       != std::minmax( edge.vertices[0], edge.vertices[1] ) )
            {
                problems.push_back( "stale edge handed on" );
            }
            if( collapsed
                && ( edge.vertices[0] == V11 || edge.vertices[1] == V11 ) )
            {
                problems.push_back( "edge of the removed vertex handed on" );
            }
            return false;
        };
        orchestrator.process = [&]( const SurfaceEdge2D& edge ) {
            std::optional< Result > result;
            if( !collapsed && pair_of( edge ) == VertexPair{ V11, V21 } )
            {
                collapsed = true;
                result.emplace();
                result->modified_vertices.push_back(
                    modifier.collapse_edge( V11, V21 ) );
            }
            return result;
        };
        const auto edges = all_polygon_edges( mesh );
        orchestrator.apply( edges );

        EXPECT_TRUE( collapsed );
        EXPECT_THAT( problems, testing::IsEmpty() );
        EXPECT_TRUE( modifier.is_vertex_deleted( V11 ) );
        // Every listed edge that still exists was handed on; some listed
        // edges of the removed vertex came after its removal.
        const auto was_asked = [&orchestrator]( const SurfaceEdge2D& edge ) {
            return std::any_of( orchestrator.asked.begin(),
                orchestrator.asked.end(),
                [&edge]( const SurfaceEdge2D& asked ) {
                    return asked.vertices == edge.vertices;
                } );
        };
        index_t nb_vanished{ 0 };
        for( const auto& edge : edges )
        {
            if( mesh.edges().edge_from_vertices( edge.vertices )
                && modifier.is_edge_active(
                    *mesh.edges().edge_from_vertices( edge.vertices ) ) )
            {
                EXPECT_TRUE( was_asked( edge ) )
                    << edge.vertices[0] << " " << edge.vertices[1];
            }
            else if( !was_asked( edge ) )
            {
                nb_vanished++;
            }
        }
        EXPECT_GT( nb_vanished, 0 );
    }

    // Edges whose vertices are not joined are never handed on, nor are
    // edges naming vertices that do not exist.
    TEST( Orchestrator, skips_edges_that_do_not_exist )
    {
        const auto surface = brevane::test::grid_surface< 2 >( 4, 4 );
        RecordingOrchestrator orchestrator{ *surface, 4, false };
        std::vector< SurfaceEdge2D > edges( 2 );
        edges[0].vertices = { 0, V44 };
        edges[1].vertices = { V11, 1000 };
        orchestrator.apply( edges );
        EXPECT_THAT( orchestrator.asked, testing::IsEmpty() );
    }

    // Skipped edges are not processed.
    TEST( Orchestrator, does_not_process_skipped_edges )
    {
        const auto surface = brevane::test::grid_surface< 2 >( 4, 4 );
        RecordingOrchestrator orchestrator{ *surface, 4, false };
        orchestrator.skip = []( const SurfaceEdge2D& edge ) {
            return edge.vertices[0] % 2 == 0;
        };
        const auto edges = all_polygon_edges( *surface );
        orchestrator.apply( edges );
        EXPECT_EQ( orchestrator.asked.size(), edges.size() );
        ASSERT_FALSE( orchestrator.processed.empty() );
        for( const auto& edge : orchestrator.processed )
        {
            EXPECT_EQ( edge.vertices[0] % 2, 1 );
        }
    }

    // After a change, the next pass goes through the edges around the
    // reported vertices, each edge once, even when it joins two reported
    // vertices or a vertex is reported twice.
    TEST( Orchestrator, queues_the_edges_around_modified_vertices_once )
    {
        struct Case
        {
            std::vector< index_t > modified;
            std::vector< index_t > around;
        };
        const std::vector< Case > cases{ { { V21 }, { V21 } },
            { { V11, V21 }, { V11, V21 } }, { { V21, V21 }, { V21 } },
            { { V11, V22, V21 }, { V11, V21, V22 } }, { { 0 }, { 0 } },
            { { V44, 1 }, { V44, 1 } } };
        const auto surface = brevane::test::grid_surface< 2 >( 4, 4 );
        for( const auto& test_case : cases )
        {
            RecordingOrchestrator orchestrator{ *surface, 2, true };
            orchestrator.process = [&test_case]( const SurfaceEdge2D& edge ) {
                std::optional< Result > result;
                if( pair_of( edge ) == VertexPair{ V11, V21 } )
                {
                    result.emplace();
                    result->modified_vertices.assign(
                        test_case.modified.begin(), test_case.modified.end() );
                }
                return result;
            };
            const SurfaceEdge2D start{ *surface,
                *surface->polygon_edge_from_vertices( V11, V21 ) };
            orchestrator.apply( { start } );
            ASSERT_FALSE( orchestrator.processed.empty() );
            EXPECT_EQ( pair_of( orchestrator.processed.front() ),
                ( VertexPair{ V11, V21 } ) );
            const std::vector< SurfaceEdge2D > second_pass{
                orchestrator.processed.begin() + 1, orchestrator.processed.end()
            };
            EXPECT_EQ( pairs_of( second_pass ),
                edges_around( *surface, test_case.around ) )
                << "reported " << testing::PrintToString( test_case.modified );
        }
    }

    // An edge whose processing always reports a change makes the edges
    // around that vertex come back pass after pass: the orchestration stops
    // after nb_levels passes, and throws when it must not skip them.
    TEST( Orchestrator, always_ends )
    {
        const auto surface = brevane::test::grid_surface< 2 >( 4, 4 );
        const auto degree = static_cast< index_t >(
            surface->vertices_around_vertex( V11 ).size() );
        const SurfaceEdge2D start{ *surface,
            *surface->polygon_edge_from_vertices( V11, V21 ) };
        for( const index_t levels : { 1u, 2u, 5u, 40u } )
        {
            for( const bool skip_loops : { true, false } )
            {
                RecordingOrchestrator orchestrator{ *surface, levels,
                    skip_loops };
                orchestrator.process = []( const SurfaceEdge2D& ) {
                    std::optional< Result > result;
                    result.emplace().modified_vertices.push_back( V11 );
                    return result;
                };
                if( skip_loops )
                {
                    orchestrator.apply( { start } );
                }
                else
                {
                    EXPECT_THROW(
                        orchestrator.apply( { start } ), TessarkException );
                }
                EXPECT_EQ(
                    orchestrator.processed.size(), 1 + ( levels - 1 ) * degree )
                    << levels << " levels";
            }
        }
    }

    // An orchestration that settles never reaches the bound: with the bound
    // just large enough, it neither throws nor leaves anything.
    TEST( Orchestrator, ends_without_error_when_changes_settle )
    {
        const auto surface = brevane::test::grid_surface< 2 >( 4, 4 );
        RecordingOrchestrator orchestrator{ *surface, 3, false };
        index_t nb_changes{ 0 };
        orchestrator.process = [&nb_changes]( const SurfaceEdge2D& edge ) {
            std::optional< Result > result;
            if( nb_changes < 2 && edge.vertices[0] == V11 )
            {
                nb_changes++;
                result.emplace();
                result->modified_vertices.push_back( V11 );
            }
            return result;
        };
        const SurfaceEdge2D start{ *surface,
            *surface->polygon_edge_from_vertices( V11, V21 ) };
        EXPECT_NO_THROW( orchestrator.apply( { start } ) );
        EXPECT_EQ( nb_changes, 2 );
    }
} // namespace brevane::internal
