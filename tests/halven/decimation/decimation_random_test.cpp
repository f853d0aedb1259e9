#include <limits>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <halven/decimation/background_surface_decimator.h>
#include <halven/decimation/optimize_background_surface_elements.h>
#include <halven/decimation/triangulated_surface_internal_distance_improvement_simulator.h>

#include "halven/background/background_checks.h"
#include "plan_view_fixture.h"
#include "short_edge_operator.h"

namespace brevane::internal
{
    namespace
    {
        struct Case
        {
            index_t nb_squares;
            index_t nb_traces;
            unsigned seed;
            // Candidates are the edges not longer than this.
            double length;
        };

    } // namespace

    // Random plan views with random traces, decimated towards a target
    // length (or as far as the rules allow), then optimised, then compacted:
    // after each step the surface is valid with the same area, every trace
    // is a chain between the same end vertices, border and recorded vertices
    // are all there, unmoved; the optimisation does not lower the worst
    // triangle quality.
    TEST( DecimationOfRandomPlanViews, keeps_the_background_surface_rules )
    {
        const std::vector< Case > cases{ { 10, 3, 1, 1.5 }, { 12, 6, 2, 2.5 },
            { 14, 8, 3, 4 }, { 8, 2, 4, std::numeric_limits< double >::max() },
            { 16, 12, 5, 3 },
            { 12, 10, 6, std::numeric_limits< double >::max() } };
        for( const auto& test_case : cases )
        {
            SCOPED_TRACE( testing::Message() << "seed " << test_case.seed );
            test::PlanView plan_view{ test_case.nb_squares, test_case.nb_traces,
                test_case.seed };
            ASSERT_THAT( plan_view.problems(), testing::IsEmpty() );
            const auto& mesh = plan_view.fixture->mesh();
            const auto nb_vertices = plan_view.nb_live_vertices();

            const test::ShortEdgeOperator short_edges{
                *plan_view.fixture->background, test_case.length
            };
            {
                BackgroundSurfaceDecimator decimator{ *plan_view.constraints,
                    short_edges };
                decimator.apply( all_polygon_edges( mesh ) );
            }
            EXPECT_THAT( plan_view.problems(), testing::IsEmpty() );
            EXPECT_LT( plan_view.nb_live_vertices(), nb_vertices * 3 / 4 );

            const auto worst = plan_view.worst_quality();
            TriangulatedSurfaceInternalDistanceImprovementSimulator2D simulator;
            optimize_background_surface_elements(
                *plan_view.constraints, simulator, 0 );
            EXPECT_THAT( plan_view.problems(), testing::IsEmpty() );
            EXPECT_GE( plan_view.worst_quality(), worst );

            plan_view.fixture->modifier->clean();
            EXPECT_THAT( plan_view.problems(), testing::IsEmpty() );
        }
    }
} // namespace brevane::internal
