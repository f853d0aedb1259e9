#include <memory>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/decimation/background_surface_all_non_macro_vertex.h>
#include <halven/decimation/background_surface_decimator.h>

#include "halven/background/background_checks.h"
#include "halven/background/background_fixture.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    namespace
    {
        using OrientedEdge = TriangulatedSurfaceDecimator< 2 >::OrientedEdge;
        using Result = TriangulatedSurfaceDecimator< 2 >::ProcessElementResult;

        // Vertex (i, j) of the 4 x 4 grid.
        constexpr index_t at( index_t i, index_t j )
        {
            return j * 5 + i;
        }

        // The 4 x 4 grid with macro vertex records on the inner vertices
        // (1, 1) and (2, 2), under a constraint modifier.
        class DecimatorTest : public testing::Test
        {
        protected:
            DecimatorTest()
                : fixture( brevane::test::grid_surface< 2 >( 4, 4 ) ),
                  constraints( { *fixture.background, *fixture.modifier },
                      *fixture.background_builder, 2 )
            {
                for( const auto vertex : { at( 1, 1 ), at( 2, 2 ) } )
                {
                    fixture.background_builder->add_macro_vertex_info(
                        { fixture.top, vertex }, vertex );
                }
            }

            [[nodiscard]] SurfaceEdge2D edge( index_t from, index_t to ) const
            {
                return { fixture.mesh(),
                    *fixture.mesh().polygon_edge_from_vertices( from, to ) };
            }

            test::BackgroundFixture fixture;
            BackgroundSurfaceConstraintModifier constraints;
        };

        // Offers every collapse to `refuse`; the refused ones are not done,
        // the others are done by the base collapse. Also tells, through the
        // constraint modifier, whether the removed vertex carried records.
        class ScriptedDecimator : public BackgroundSurfaceDecimator
        {
        public:
            ScriptedDecimator( BackgroundSurfaceConstraintModifier& modifier,
                const TriangulatedSurfaceDecimatorOperator< 2 >&
                    decimation_operator,
                std::function< bool( const OrientedEdge& ) > refuse )
                : BackgroundSurfaceDecimator( modifier, decimation_operator ),
                  refuse_( std::move( refuse ) )
            {
            }

            std::vector< OrientedEdge > offered;
            bool removed_recorded_vertex{ false };

        protected:
            std::optional< Result > collapse_edge(
                const OrientedEdge& edge ) override
            {
                offered.push_back( edge );
                if( refuse_( edge ) )
                {
                    return std::nullopt;
                }
                const auto& background =
                    constraint_modifier().modifiable_background().first;
                removed_recorded_vertex =
                    removed_recorded_vertex
                    || !background.macro_vertices( edge.vertices[0] ).empty();
                return TriangulatedSurfaceDecimator< 2 >::collapse_edge( edge );
            }

        private:
            std::function< bool( const OrientedEdge& ) > refuse_;
        };

        // Claims every collapse offered changed the kept vertex, without
        // changing anything: the edges around it keep coming back.
        class RestlessDecimator : public BackgroundSurfaceDecimator
        {
        public:
            using BackgroundSurfaceDecimator::BackgroundSurfaceDecimator;

            index_t nb_offers{ 0 };

        protected:
            std::optional< Result > collapse_edge(
                const OrientedEdge& edge ) override
            {
                nb_offers++;
                std::optional< Result > result;
                result.emplace().modified_vertices.push_back(
                    edge.vertices[1] );
                return result;
            }
        };

    } // namespace

    // An edge is skipped exactly when neither end may be removed, whichever
    // of its polygon edges names it.
    TEST_F(
        DecimatorTest, all_non_macro_vertex_skips_edges_without_removable_end )
    {
        struct Case
        {
            index_t first;
            index_t second;
            bool skipped;
        };
        const std::vector< Case > cases{
            { at( 1, 1 ), at( 2, 2 ), true },  // two recorded vertices
            { at( 1, 0 ), at( 1, 1 ), true },  // border and recorded
            { at( 0, 1 ), at( 1, 1 ), true },  // border and recorded
            { at( 0, 0 ), at( 1, 0 ), true },  // two border vertices
            { at( 1, 1 ), at( 2, 1 ), false }, // recorded and free
            { at( 2, 1 ), at( 2, 2 ), false }, // free and recorded
            { at( 1, 0 ), at( 2, 1 ), false }, // border and free
            { at( 2, 1 ), at( 3, 2 ), false }, // two free vertices
        };
        const BackgroundSurfaceAllNonMacroVertex all_non_macro(
            *fixture.background );
        const auto& mesh = fixture.mesh();
        for( const auto& test_case : cases )
        {
            for( const auto& [from, to] :
                { std::pair{ test_case.first, test_case.second },
                    std::pair{ test_case.second, test_case.first } } )
            {
                const auto polygon_edge =
                    mesh.polygon_edge_from_vertices( from, to );
                if( !polygon_edge )
                {
                    // A border edge runs one way only.
                    continue;
                }
                EXPECT_EQ( all_non_macro.skip_edge( mesh, *polygon_edge ),
                    test_case.skipped )
                    << from << " -> " << to;
            }
        }
    }

    TEST_F( DecimatorTest, allows_removing_only_free_inner_vertices )
    {
        struct Case
        {
            index_t removed;
            index_t kept;
            bool allowed;
        };
        const std::vector< Case > cases{ { at( 2, 1 ), at( 1, 1 ), true },
            { at( 1, 1 ), at( 2, 1 ), false },
            { at( 1, 0 ), at( 2, 1 ), false }, { at( 2, 1 ), at( 1, 0 ), true },
            { at( 2, 1 ), at( 3, 2 ), true } };
        const BackgroundSurfaceAllNonMacroVertex all_non_macro(
            *fixture.background );
        const BackgroundSurfaceDecimator decimator{ constraints,
            all_non_macro };
        for( const auto& test_case : cases )
        {
            OrientedEdge oriented;
            oriented.vertices = { test_case.removed, test_case.kept };
            const auto polygon_edge = fixture.mesh().polygon_edge_from_vertices(
                test_case.removed, test_case.kept );
            oriented.polygon_edge = polygon_edge.value_or(
                *fixture.mesh().polygon_edge_from_vertices(
                    test_case.kept, test_case.removed ) );
            EXPECT_EQ(
                decimator.allowed_collapse_edge( oriented ), test_case.allowed )
                << test_case.removed << " -> " << test_case.kept;
        }
    }

    // With both ends removable, the direction whose new edges are shorter is
    // offered first, then the other; the offered polygon edges run from the
    // removed vertex to the kept one.
    TEST_F( DecimatorTest, offers_the_evener_direction_first )
    {
        auto builder = TriangulatedSurfaceBuilder2D::create( *fixture.surface );
        // Moving (2, 1) off the grid makes the two directions of the edge
        // between the free vertices (2, 1) and (3, 2) stretch differently.
        builder->set_point( at( 2, 1 ), Point2D{ { 2.3, 1.0 } } );
        const BackgroundSurfaceAllNonMacroVertex all_non_macro(
            *fixture.background );
        const auto& mesh = fixture.mesh();
        const auto longest_new_edge = [&mesh]( index_t removed, index_t kept ) {
            double longest{ 0 };
            for( const auto neighbour : mesh.vertices_around_vertex( removed ) )
            {
                if( neighbour != kept )
                {
                    longest = std::max( longest,
                        Vector2D{ mesh.point( kept ), mesh.point( neighbour ) }
                            .length() );
                }
            }
            return longest;
        };
        const auto first = at( 2, 1 );
        const auto second = at( 3, 2 );
        const auto expected_removed =
            longest_new_edge( first, second )
                    <= longest_new_edge( second, first )
                ? first
                : second;
        const auto expected_kept = expected_removed == first ? second : first;
        ASSERT_NE( longest_new_edge( first, second ),
            longest_new_edge( second, first ) );

        ScriptedDecimator decimator{ constraints, all_non_macro,
            []( const OrientedEdge& ) {
                return true;
            } };
        decimator.apply( { edge( first, second ) } );
        ASSERT_EQ( decimator.offered.size(), 2 );
        EXPECT_THAT( decimator.offered[0].vertices,
            testing::ElementsAre( expected_removed, expected_kept ) );
        EXPECT_THAT( decimator.offered[1].vertices,
            testing::ElementsAre( expected_kept, expected_removed ) );
        for( const auto& offered : decimator.offered )
        {
            EXPECT_EQ( mesh.polygon_edge_vertices( offered.polygon_edge ),
                offered.vertices );
        }
        EXPECT_FALSE( fixture.modifier->is_vertex_deleted( first ) );
        EXPECT_FALSE( fixture.modifier->is_vertex_deleted( second ) );
    }

    // A subclass refusing the first direction gets the other one done by the
    // base collapse (later offers, around the kept vertex, are refused).
    TEST_F( DecimatorTest, falls_back_on_the_other_direction )
    {
        const BackgroundSurfaceAllNonMacroVertex all_non_macro(
            *fixture.background );
        index_t nb_offers{ 0 };
        ScriptedDecimator decimator{ constraints, all_non_macro,
            [&nb_offers]( const OrientedEdge& ) {
                return nb_offers++ != 1;
            } };
        const auto first = at( 2, 1 );
        const auto second = at( 3, 2 );
        decimator.apply( { edge( first, second ) } );
        ASSERT_GE( decimator.offered.size(), 2 );
        const auto removed = decimator.offered[1].vertices[0];
        const auto kept = decimator.offered[1].vertices[1];
        EXPECT_EQ( decimator.offered[0].vertices[0], kept );
        EXPECT_TRUE( fixture.modifier->is_vertex_deleted( removed ) );
        EXPECT_FALSE( fixture.modifier->is_vertex_deleted( kept ) );
        EXPECT_FALSE( decimator.removed_recorded_vertex );
        EXPECT_THAT( test::background_problems(
                         *fixture.background, fixture.modifier.get() ),
            testing::IsEmpty() );
    }

    // A decimation whose collapses keep reporting changes stops by itself,
    // after going through the reported surroundings several times.
    TEST_F( DecimatorTest, stops_when_changes_keep_coming )
    {
        const BackgroundSurfaceAllNonMacroVertex all_non_macro(
            *fixture.background );
        RestlessDecimator decimator{ constraints, all_non_macro };
        const auto edges = all_polygon_edges( fixture.mesh() );
        EXPECT_NO_THROW( decimator.apply( edges ) );
        EXPECT_GT( decimator.nb_offers, 2 * edges.size() );
        // Far fewer offers than a hundred passes over every edge would make.
        EXPECT_LT( decimator.nb_offers, 2 * 100 * edges.size() );
        EXPECT_THAT( test::background_problems(
                         *fixture.background, fixture.modifier.get() ),
            testing::IsEmpty() );
    }

    // Decimating every edge removes free inner vertices only; the recorded
    // and border vertices stay where they are, and the surface stays valid.
    TEST_F( DecimatorTest, removes_only_free_inner_vertices )
    {
        const auto& mesh = fixture.mesh();
        std::vector< Point2D > points;
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            points.push_back( mesh.point( vertex ) );
        }
        const BackgroundSurfaceAllNonMacroVertex all_non_macro(
            *fixture.background );
        ScriptedDecimator decimator{ constraints, all_non_macro,
            []( const OrientedEdge& ) {
                return false;
            } };
        decimator.apply( all_polygon_edges( mesh ) );
        EXPECT_FALSE( decimator.removed_recorded_vertex );
        index_t nb_removed{ 0 };
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            const bool fixed = mesh.is_vertex_on_border( vertex )
                               || vertex == at( 1, 1 ) || vertex == at( 2, 2 );
            if( fixture.modifier->is_vertex_deleted( vertex ) )
            {
                EXPECT_FALSE( fixed ) << vertex;
                nb_removed++;
                continue;
            }
            EXPECT_EQ( mesh.point( vertex ), points[vertex] ) << vertex;
        }
        EXPECT_GT( nb_removed, 0 );
        EXPECT_THAT( test::background_problems(
                         *fixture.background, fixture.modifier.get() ),
            testing::IsEmpty() );
        EXPECT_NEAR(
            test::live_area( *fixture.background, fixture.modifier.get() ), 16,
            1e-12 );
    }
} // namespace brevane::internal
