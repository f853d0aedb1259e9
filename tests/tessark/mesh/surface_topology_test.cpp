#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        using Surface = TriangulatedSurface2D;

        struct FixtureCase
        {
            std::string name;
            std::function< std::unique_ptr< Surface >() > make;
            index_t nb_vertices;
            index_t nb_polygons;
            index_t nb_edges;
            std::vector< index_t > border_loop_lengths;
            index_t nb_inner_vertices;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const FixtureCase& fixture, std::ostream* out )
        {
            *out << fixture.name;
        }

        std::vector< FixtureCase > fixture_cases()
        {
            return {
                { "closed_fan", test::closed_fan< 2 >, 7, 6, 12, { 6 }, 1 },
                { "open_fan", test::open_fan< 2 >, 6, 4, 9, { 6 }, 0 },
                { "square_ring", test::square_ring< 2 >, 16, 16, 32, { 4, 12 },
                    0 },
                { "l_shape", test::l_shape< 2 >, 21, 24, 44, { 16 }, 5 },
            };
        }

        std::vector< PolygonEdge > all_polygon_edges( const Surface& surface )
        {
            std::vector< PolygonEdge > edges;
            for( index_t polygon = 0; polygon < surface.nb_polygons();
                 polygon++ )
            {
                for( local_index_t edge = 0; edge < 3; edge++ )
                {
                    edges.emplace_back( polygon, edge );
                }
            }
            return edges;
        }

        // The corners of the vertex found by scanning every polygon.
        std::set< std::pair< index_t, int > > brute_force_corners(
            const Surface& surface, index_t vertex )
        {
            std::set< std::pair< index_t, int > > corners;
            for( index_t polygon = 0; polygon < surface.nb_polygons();
                 polygon++ )
            {
                for( local_index_t local = 0; local < 3; local++ )
                {
                    if( surface.polygon_vertex( { polygon, local } ) == vertex )
                    {
                        corners.emplace( polygon, local );
                    }
                }
            }
            return corners;
        }

        // The polygon running the edge the other way, found by scanning.
        std::optional< index_t > brute_force_adjacent(
            const Surface& surface, const PolygonEdge& edge )
        {
            const auto vertices = surface.polygon_edge_vertices( edge );
            for( const auto& other : all_polygon_edges( surface ) )
            {
                const auto other_vertices =
                    surface.polygon_edge_vertices( other );
                if( other_vertices[0] == vertices[1]
                    && other_vertices[1] == vertices[0] )
                {
                    return other.polygon_id;
                }
            }
            return std::nullopt;
        }

        bool brute_force_on_border( const Surface& surface, index_t vertex )
        {
            for( const auto& edge : all_polygon_edges( surface ) )
            {
                const auto vertices = surface.polygon_edge_vertices( edge );
                if( !brute_force_adjacent( surface, edge )
                    && ( vertices[0] == vertex || vertices[1] == vertex ) )
                {
                    return true;
                }
            }
            return false;
        }
    } // namespace

    class SurfaceTopology : public testing::TestWithParam< FixtureCase >
    {
    protected:
        void SetUp() override
        {
            surface_ = GetParam().make();
        }

        std::unique_ptr< Surface > surface_;
    };

    TEST_P( SurfaceTopology, has_the_expected_counts )
    {
        EXPECT_EQ( surface_->nb_vertices(), GetParam().nb_vertices );
        EXPECT_EQ( surface_->nb_polygons(), GetParam().nb_polygons );
        EXPECT_EQ( surface_->edges().nb_edges(), GetParam().nb_edges );
        EXPECT_EQ( surface_->polygon_attribute_manager().nb_elements(),
            GetParam().nb_polygons );
        EXPECT_EQ( surface_->edges().edge_attribute_manager().nb_elements(),
            GetParam().nb_edges );
    }

    TEST_P( SurfaceTopology, adjacency_matches_brute_force_and_is_symmetric )
    {
        for( const auto& edge : all_polygon_edges( *surface_ ) )
        {
            const auto adjacent = surface_->polygon_adjacent( edge );
            ASSERT_EQ( adjacent, brute_force_adjacent( *surface_, edge ) )
                << edge.string();
            EXPECT_EQ( surface_->is_edge_on_border( edge ), !adjacent );
            if( !adjacent )
            {
                EXPECT_FALSE( surface_->polygon_adjacent_edge( edge ) );
                continue;
            }
            const auto opposite = surface_->polygon_adjacent_edge( edge );
            ASSERT_TRUE( opposite ) << edge.string();
            EXPECT_EQ( opposite->polygon_id, *adjacent );
            const auto vertices = surface_->polygon_edge_vertices( edge );
            const auto opposite_vertices =
                surface_->polygon_edge_vertices( *opposite );
            EXPECT_EQ( opposite_vertices[0], vertices[1] );
            EXPECT_EQ( opposite_vertices[1], vertices[0] );
            EXPECT_EQ( surface_->polygon_adjacent_edge( *opposite ), edge );
            EXPECT_EQ( surface_->polygon_edge( edge ),
                surface_->polygon_edge( *opposite ) );
        }
    }

    TEST_P( SurfaceTopology, polygons_around_vertex_are_complete_and_unique )
    {
        index_t nb_inner{ 0 };
        for( index_t vertex = 0; vertex < surface_->nb_vertices(); vertex++ )
        {
            const auto fan = surface_->polygons_around_vertex( vertex );
            std::set< std::pair< index_t, int > > corners;
            for( const auto& corner : fan )
            {
                EXPECT_EQ( surface_->polygon_vertex( corner ), vertex );
                corners.emplace( corner.polygon_id, corner.vertex_id );
            }
            EXPECT_EQ( corners.size(), fan.size() ) << "vertex " << vertex;
            EXPECT_EQ( corners, brute_force_corners( *surface_, vertex ) )
                << "vertex " << vertex;

            const auto on_border = brute_force_on_border( *surface_, vertex );
            EXPECT_EQ( surface_->is_vertex_on_border( vertex ), on_border )
                << "vertex " << vertex;
            nb_inner += on_border ? 0 : 1;
            if( on_border )
            {
                // The walk starts at the border: the first corner's outgoing
                // edge and the last corner's incoming edge are border edges.
                const auto link = surface_->polygon_around_vertex( vertex );
                ASSERT_TRUE( link );
                EXPECT_TRUE(
                    surface_->is_edge_on_border( PolygonEdge{ *link } ) );
                EXPECT_EQ( fan.front(), *link );
                EXPECT_TRUE( surface_->is_edge_on_border(
                    surface_->previous_polygon_edge(
                        PolygonEdge{ fan.back() } ) ) );
            }
        }
        EXPECT_EQ( nb_inner, GetParam().nb_inner_vertices );
    }

    TEST_P( SurfaceTopology, vertices_around_vertex_are_the_edge_neighbours )
    {
        for( index_t vertex = 0; vertex < surface_->nb_vertices(); vertex++ )
        {
            std::set< index_t > expected;
            for( index_t edge = 0; edge < surface_->edges().nb_edges(); edge++ )
            {
                const auto& ends = surface_->edges().edge_vertices( edge );
                if( ends[0] == vertex )
                {
                    expected.insert( ends[1] );
                }
                if( ends[1] == vertex )
                {
                    expected.insert( ends[0] );
                }
            }
            const auto around = surface_->vertices_around_vertex( vertex );
            EXPECT_EQ(
                std::set< index_t >( around.begin(), around.end() ), expected );
            EXPECT_EQ( around.size(), expected.size() );
        }
    }

    TEST_P( SurfaceTopology, border_walks_close_every_loop )
    {
        std::set< std::pair< index_t, int > > border;
        for( const auto& edge : all_polygon_edges( *surface_ ) )
        {
            if( surface_->is_edge_on_border( edge ) )
            {
                border.emplace( edge.polygon_id, edge.edge_id );
            }
        }
        std::set< std::pair< index_t, int > > visited;
        std::vector< index_t > loop_lengths;
        for( const auto& [polygon, local] : border )
        {
            if( visited.count( { polygon, local } ) != 0 )
            {
                continue;
            }
            const PolygonEdge start{ polygon,
                static_cast< local_index_t >( local ) };
            auto current = start;
            index_t length{ 0 };
            do
            {
                ASSERT_LE( length, border.size() ) << "walk does not come back";
                visited.emplace( current.polygon_id, current.edge_id );
                const auto next = surface_->next_on_border( current );
                EXPECT_TRUE( surface_->is_edge_on_border( next ) );
                EXPECT_EQ( surface_->polygon_edge_vertex( current, 1 ),
                    surface_->polygon_edge_vertex( next, 0 ) );
                EXPECT_EQ( surface_->previous_on_border( next ), current );
                current = next;
                length++;
            } while( current != start );
            loop_lengths.push_back( length );
        }
        EXPECT_EQ( visited, border );
        std::sort( loop_lengths.begin(), loop_lengths.end() );
        EXPECT_EQ( loop_lengths, GetParam().border_loop_lengths );
    }

    TEST_P( SurfaceTopology, edges_are_numbered_in_order_of_first_appearance )
    {
        const auto& edges = surface_->edges();
        index_t next_new{ 0 };
        for( const auto& polygon_edge : all_polygon_edges( *surface_ ) )
        {
            const auto vertices =
                surface_->polygon_edge_vertices( polygon_edge );
            const auto edge = surface_->polygon_edge( polygon_edge );
            if( edge == next_new )
            {
                EXPECT_EQ( edges.edge_vertices( edge ), vertices );
                next_new++;
            }
            EXPECT_LT( edge, next_new ) << polygon_edge.string();
            EXPECT_EQ( edges.edge_from_vertices( vertices ), edge );
            EXPECT_EQ( edges.edge_from_vertices( { vertices[1], vertices[0] } ),
                edge );
            const auto found = surface_->polygon_edge_from_vertices(
                vertices[0], vertices[1] );
            ASSERT_TRUE( found ) << polygon_edge.string();
            EXPECT_EQ( *found, polygon_edge );
        }
        EXPECT_EQ( next_new, edges.nb_edges() );
    }

    TEST_P( SurfaceTopology, absent_edges_are_not_found )
    {
        // Vertices that share no edge: not neighbours of each other.
        for( index_t vertex = 0; vertex < surface_->nb_vertices(); vertex++ )
        {
            const auto around = surface_->vertices_around_vertex( vertex );
            for( index_t other = 0; other < surface_->nb_vertices(); other++ )
            {
                if( other == vertex
                    || std::find( around.begin(), around.end(), other )
                           != around.end() )
                {
                    continue;
                }
                EXPECT_FALSE(
                    surface_->edges().edge_from_vertices( { vertex, other } ) );
                EXPECT_FALSE(
                    surface_->polygon_edge_from_vertices( vertex, other ) );
            }
        }
    }

    INSTANTIATE_TEST_SUITE_P( Fixtures, SurfaceTopology,
        testing::ValuesIn( fixture_cases() ),
        []( const testing::TestParamInfo< FixtureCase >& info )
        {
            return info.param.name;
        } );

    TEST( SurfaceTopology, border_walk_rejects_inner_edges )
    {
        const auto surface = test::closed_fan< 3 >();
        const PolygonEdge spoke{ 0, 0 };
        ASSERT_FALSE( surface->is_edge_on_border( spoke ) );
        EXPECT_THROW( static_cast< void >( surface->next_on_border( spoke ) ),
            TessarkException );
        EXPECT_THROW(
            static_cast< void >( surface->previous_on_border( spoke ) ),
            TessarkException );
    }

    namespace
    {
        struct BrokenWalk
        {
            std::string name;
            std::function< void( const Surface& ) > walk;
        };

        void PrintTo( const BrokenWalk& walk, std::ostream* out )
        {
            *out << walk.name;
        }

        // The open fan (0, 1, 2) (0, 2, 3) (0, 3, 4) (0, 4, 5) with triangles
        // 1 and 2 pointing at each other across both their edges at vertex
        // 0: every rotation around vertex 0 enters that pair and goes round
        // it without ever reaching the border.
        std::unique_ptr< Surface > fan_with_a_looping_pair()
        {
            auto surface = test::open_fan< 2 >();
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            builder->set_polygon_adjacent( { 1, 0 }, 2 );
            builder->set_polygon_adjacent( { 2, 2 }, 1 );
            return surface;
        }

        class LoopingAdjacency : public testing::TestWithParam< BrokenWalk >
        {
        };
    } // namespace

    TEST_P( LoopingAdjacency, stops_the_walk_with_a_data_error )
    {
        const auto surface = fan_with_a_looping_pair();
        // The walks start from the border edges 5 -> 0 and 0 -> 1, which
        // the broken adjacency leaves on the border.
        ASSERT_TRUE( surface->is_edge_on_border( { 3, 2 } ) );
        ASSERT_TRUE( surface->is_edge_on_border( { 0, 0 } ) );
        EXPECT_THAT(
            [&]
            {
                GetParam().walk( *surface );
            },
            testing::ThrowsMessage< TessarkDataException >( testing::HasSubstr(
                concatenate( "[SurfaceMesh::", GetParam().name,
                    "] Inconsistent polygon adjacency around vertex 0" ) ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( Walks, LoopingAdjacency,
        testing::Values(
            BrokenWalk{ "next_on_border",
                []( const Surface& surface )
                {
                    static_cast< void >( surface.next_on_border( { 3, 2 } ) );
                } },
            BrokenWalk{ "previous_on_border",
                []( const Surface& surface )
                {
                    static_cast< void >(
                        surface.previous_on_border( { 0, 0 } ) );
                } },
            BrokenWalk{ "polygons_around_vertex",
                []( const Surface& surface )
                {
                    static_cast< void >( surface.polygons_around_vertex( 0 ) );
                } } ),
        []( const testing::TestParamInfo< BrokenWalk >& info )
        {
            return info.param.name;
        } );
} // namespace brevane
