#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/decimation/optimize_background_surface_elements.h>
#include <halven/decimation/triangulated_surface_internal_distance_improvement_simulator.h>

#include "halven/background/background_checks.h"
#include "halven/background/background_fixture.h"
#include "plan_view_fixture.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    namespace
    {
        using Simulator =
            TriangulatedSurfaceInternalDistanceImprovementSimulator2D;

        // A simulator that refuses to judge, or judges like the default one
        // while counting its evaluations.
        class CountingSimulator : public Simulator
        {
        public:
            explicit CountingSimulator( bool judges ) : judges_( judges )
            {
            }

            bool evaluate_triangle( const TriangulatedSurface2D& surface,
                index_t triangle ) override
            {
                nb_evaluations++;
                set_internal_distances( { minimal_triangle_internal_distance(
                    surface.triangle( triangle ) ) } );
                return judges_;
            }

            index_t nb_evaluations{ 0 };

        private:
            bool judges_;
        };

        struct Fixture
        {
            explicit Fixture( std::unique_ptr< TriangulatedSurface2D > surface )
                : background( std::move( surface ) ),
                  constraints( { *background.background, *background.modifier },
                      *background.background_builder, 2 )
            {
            }

            [[nodiscard]] bool has_edge(
                index_t vertex0, index_t vertex1 ) const
            {
                const auto& mesh = background.mesh();
                return mesh.polygon_edge_from_vertices( vertex0, vertex1 )
                           .has_value()
                       || mesh.polygon_edge_from_vertices( vertex1, vertex0 )
                              .has_value();
            }

            test::BackgroundFixture background;
            BackgroundSurfaceConstraintModifier constraints;
        };

        // A thin rhombus along x made of two triangles sharing its long
        // diagonal 0-2; the short diagonal 1-3 makes much better triangles.
        std::unique_ptr< TriangulatedSurface2D > thin_rhombus()
        {
            return test::make_triangulation(
                { Point2D{ { 0, 0 } }, Point2D{ { 1, -0.3 } },
                    Point2D{ { 2, 0 } }, Point2D{ { 1, 0.3 } } },
                { { 0, 1, 2 }, { 0, 2, 3 } } );
        }

        // The closed fan around vertex 0, moved off the centre.
        std::unique_ptr< TriangulatedSurface2D > off_centre_fan()
        {
            auto surface = brevane::test::closed_fan< 2 >();
            TriangulatedSurfaceBuilder2D::create( *surface )
                ->set_point( 0, Point2D{ { 0.5, 0.1 } } );
            return surface;
        }
    } // namespace

    TEST( OptimizeBackgroundSurfaceElements, flips_a_bad_diagonal )
    {
        Fixture fixture{ thin_rhombus() };
        Simulator simulator;
        optimize_background_surface_elements(
            fixture.constraints, simulator, 0 );
        EXPECT_TRUE( fixture.has_edge( 1, 3 ) );
        EXPECT_FALSE( fixture.has_edge( 0, 2 ) );
        EXPECT_THAT( test::background_problems( *fixture.background.background,
                         fixture.background.modifier.get() ),
            testing::IsEmpty() );
    }

    TEST(
        OptimizeBackgroundSurfaceElements, keeps_a_diagonal_with_a_macro_edge )
    {
        Fixture fixture{ thin_rhombus() };
        const auto diagonal =
            *fixture.background.mesh().edges().edge_from_vertices( { 0, 2 } );
        fixture.background.background_builder->add_macro_edge_info(
            { uuid{}, 0 }, { diagonal } );
        Simulator simulator;
        optimize_background_surface_elements(
            fixture.constraints, simulator, 0 );
        EXPECT_TRUE( fixture.has_edge( 0, 2 ) );
    }

    // A free vertex goes to the barycentre of its neighbours (the centre of
    // the hexagon); a vertex with a macro vertex record or an incident macro
    // edge stays.
    TEST( OptimizeBackgroundSurfaceElements, moves_only_free_vertices )
    {
        struct Case
        {
            const char* name;
            bool vertex_record;
            bool edge_record;
        };
        const std::vector< Case > cases{ { "free", false, false },
            { "recorded", true, false }, { "on a chain", false, true } };
        for( const auto& test_case : cases )
        {
            Fixture fixture{ off_centre_fan() };
            auto& records = *fixture.background.background_builder;
            if( test_case.vertex_record )
            {
                records.add_macro_vertex_info( { uuid{}, 0 }, 0 );
            }
            if( test_case.edge_record )
            {
                records.add_macro_edge_info( { uuid{}, 0 },
                    { *fixture.background.mesh().edges().edge_from_vertices(
                        { 0, 1 } ) } );
            }
            const auto start = fixture.background.mesh().point( 0 );
            Simulator simulator;
            optimize_background_surface_elements(
                fixture.constraints, simulator, 0 );
            const auto& point = fixture.background.mesh().point( 0 );
            if( test_case.vertex_record || test_case.edge_record )
            {
                EXPECT_EQ( point, start ) << test_case.name;
            }
            else
            {
                EXPECT_NEAR( point.value( 0 ), 0, 1e-12 ) << test_case.name;
                EXPECT_NEAR( point.value( 1 ), 0, 1e-12 ) << test_case.name;
            }
            for( index_t vertex = 1; vertex <= 6; vertex++ )
            {
                EXPECT_EQ( fixture.background.mesh().point( vertex ),
                    brevane::test::closed_fan< 2 >()->point( vertex ) );
            }
        }
    }

    // The optimisation works through the simulator alone: one refusing to
    // judge leaves the surface as it is; one overriding the evaluation is
    // called and gets the same result as the default.
    TEST( OptimizeBackgroundSurfaceElements, is_driven_by_the_simulator )
    {
        for( const bool judges : { false, true } )
        {
            Fixture fixture{ off_centre_fan() };
            CountingSimulator simulator{ judges };
            optimize_background_surface_elements(
                fixture.constraints, simulator, 0 );
            EXPECT_GT( simulator.nb_evaluations, 0 );
            const auto& point = fixture.background.mesh().point( 0 );
            if( judges )
            {
                EXPECT_NEAR( point.value( 0 ), 0, 1e-12 );
            }
            else
            {
                EXPECT_EQ( point, Point2D( { 0.5, 0.1 } ) );
            }
        }
    }

    // On random plan views, with more passes or fewer: the surface stays
    // valid with its traces and fixed vertices, and its worst triangle only
    // gets better, strictly on these views.
    TEST( OptimizeBackgroundSurfaceElements, never_lowers_the_worst_quality )
    {
        struct Case
        {
            unsigned seed;
            int nb_passes;
        };
        for( const auto& test_case :
            { Case{ 11, 0 }, Case{ 12, 1 }, Case{ 13, 2 }, Case{ 14, 10 } } )
        {
            SCOPED_TRACE( testing::Message() << "seed " << test_case.seed );
            test::PlanView plan_view{ 10, 0, test_case.seed };
            const auto worst = plan_view.worst_quality();
            Simulator simulator;
            optimize_background_surface_elements(
                *plan_view.constraints, simulator, test_case.nb_passes );
            EXPECT_THAT( plan_view.problems(), testing::IsEmpty() );
            EXPECT_GT( plan_view.worst_quality(), worst );
        }
    }

    // The number of passes asked for is the number run: one pass judges
    // fewer changes than two on a plan view whose first pass changes
    // something, and two no more than the default four.
    TEST( OptimizeBackgroundSurfaceElements, runs_the_passes_asked_for )
    {
        const auto evaluations = []( int nb_passes )
        {
            test::PlanView plan_view{ 10, 0, 21 };
            CountingSimulator simulator{ true };
            optimize_background_surface_elements(
                *plan_view.constraints, simulator, nb_passes );
            return simulator.nb_evaluations;
        };
        const auto one = evaluations( 1 );
        const auto two = evaluations( 2 );
        EXPECT_LT( one, two );
        EXPECT_LE( two, evaluations( 0 ) );
    }

    TEST(
        OptimizeBackgroundSurfaceElements, refuses_a_negative_number_of_passes )
    {
        Fixture fixture{ thin_rhombus() };
        Simulator simulator;
        EXPECT_THROW( optimize_background_surface_elements(
                          fixture.constraints, simulator, -1 ),
            TessarkException );
        EXPECT_TRUE( fixture.has_edge( 0, 2 ) );
    }
} // namespace brevane::internal
