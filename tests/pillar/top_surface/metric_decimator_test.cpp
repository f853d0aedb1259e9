#include <gtest/gtest.h>

#include <absl/strings/str_cat.h>

#include <tessark/geometry/distance.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_constraint_modifier.h>
#include <halven/background/background_surface_modifier.h>
#include <halven/decimation/optimize_background_surface_elements.h>

#include <pillar/background_surface_metric_decimator.h>

#include "support/mesh_fixtures.h"
#include "top_surface/background_surface_quality_optimizer.h"
#include "top_surface/metric_based_decimator.h"

namespace brevane
{
    namespace
    {
        // A constant size field over [-1, 10]^2.
        internal::Metric constant_metric( double value )
        {
            return { LightRegularGrid< 2 >{ Point2D{ { -1, -1 } }, { 11, 11 },
                         { 1, 1 } },
                value };
        }

        // The unit grid of 6 x 4 squares as a plan view with its modifier,
        // and a trace along the row y = 2 from x = 0 to x = 6.
        struct GridPlanView
        {
            explicit GridPlanView( bool with_trace )
                : surface( test::grid_surface< 2 >( 6, 4 ) ),
                  background( *surface ),
                  surface_builder(
                      TriangulatedSurfaceBuilder< 2 >::create( *surface ) ),
                  background_builder( background ),
                  modifier( background, background_builder, *surface_builder )
            {
                if( !with_trace )
                {
                    return;
                }
                for( index_t x = 0; x < 6; x++ )
                {
                    const auto edge = surface->edges().edge_from_vertices(
                        { vertex( x, 2 ), vertex( x + 1, 2 ) } );
                    background_builder.add_macro_edge_info(
                        { line, x }, { edge.value() } );
                }
            }

            static index_t vertex( index_t x, index_t y )
            {
                return y * 7 + x;
            }

            PolygonEdge polygon_edge( index_t from, index_t to ) const
            {
                if( const auto edge = surface->polygon_edge_from_vertices( from, to ) )
                {
                    return *edge;
                }
                return surface->polygon_edge_from_vertices( to, from ).value();
            }

            std::unique_ptr< TriangulatedSurface< 2 > > surface;
            internal::BackgroundSurface background;
            std::unique_ptr< TriangulatedSurfaceBuilder< 2 > > surface_builder;
            internal::BackgroundSurfaceBuilder background_builder;
            internal::BackgroundSurfaceModifier modifier;
            uuid line;
        };

        // Opens the collapse of one oriented edge to the test.
        class OpenDecimator : public internal::BackgroundSurfaceMetricDecimator
        {
        public:
            using BackgroundSurfaceMetricDecimator::BackgroundSurfaceMetricDecimator;
            using BackgroundSurfaceMetricDecimator::collapse_edge;
        };
    } // namespace

    // An edge as long as the target length is a candidate; one just longer
    // is not.
    TEST( MetricBasedDecimator, EdgesUpToTheTargetLengthAreCandidates )
    {
        GridPlanView plan{ false };
        const auto edge = plan.polygon_edge(
            GridPlanView::vertex( 2, 2 ), GridPlanView::vertex( 3, 2 ) );
        for( const auto& [target, skipped] : std::vector< std::pair< double, bool > >{
                 { 1, false }, { 1 - 1e-12, true }, { 2, false }, { 0.5, true } } )
        {
            const auto metric = constant_metric( target );
            const internal::MetricBasedDecimator op{ plan.background,
                metric.grid_metric };
            EXPECT_EQ( op.skip_edge( *plan.surface, edge ), skipped )
                << "target " << target;
        }
        // A border edge has no removable end, whatever its length.
        const auto metric = constant_metric( 10 );
        const internal::MetricBasedDecimator op{ plan.background,
            metric.grid_metric };
        EXPECT_TRUE( op.skip_edge( *plan.surface,
            plan.polygon_edge( GridPlanView::vertex( 0, 0 ),
                GridPlanView::vertex( 1, 0 ) ) ) );
    }

    // Merging a = (2, 2) into b = (3, 2) along the trace: the trace edge
    // (a, b) is 1 long and the other trace edge at a goes to c = (1, 2), 2
    // from b. The check applies when 1 >= 0.3 x and refuses when 2 > 1.2 x;
    // the non-trace neighbour (1, 1), sqrt(5) from b, never blocks.
    TEST( BackgroundSurfaceMetricDecimator, TraceCollapseGuards )
    {
        struct GuardCase
        {
            double target;
            bool done;
        };
        for( const auto& guard_case : std::vector< GuardCase >{
                 { 1.5, false }, { 2 / 1.2 - 1e-9, false }, { 2 / 1.2, true },
                 { 3, true }, { 1 / 0.3 + 1e-9, true } } )
        {
            SCOPED_TRACE( absl::StrCat( "target ", guard_case.target ) );
            GridPlanView plan{ true };
            const auto metric = constant_metric( guard_case.target );
            internal::BackgroundSurfaceConstraintModifier constraint_modifier{
                { plan.background, plan.modifier }, plan.background_builder, 2
            };
            const internal::MetricBasedDecimator op{ plan.background,
                metric.grid_metric };
            OpenDecimator decimator{ constraint_modifier, op, metric };
            const auto a = GridPlanView::vertex( 2, 2 );
            const auto b = GridPlanView::vertex( 3, 2 );
            const auto result =
                decimator.collapse_edge( { plan.polygon_edge( a, b ), { a, b } } );
            EXPECT_EQ( result.has_value(), guard_case.done );
            EXPECT_EQ( plan.modifier.is_vertex_deleted( a ), guard_case.done );
        }
    }

    // A trace edge shorter than 0.3 x is collapsed without looking at the
    // other trace edges, even when that stretches one beyond 1.2 x.
    TEST( BackgroundSurfaceMetricDecimator, ShortTraceEdgesCollapseUnchecked )
    {
        GridPlanView plan{ true };
        // Target 4: the trace edge of 1 is below 0.3 x = 1.2.
        const auto metric = constant_metric( 4 );
        internal::BackgroundSurfaceConstraintModifier constraint_modifier{
            { plan.background, plan.modifier }, plan.background_builder, 2
        };
        const internal::MetricBasedDecimator op{ plan.background,
            metric.grid_metric };
        OpenDecimator decimator{ constraint_modifier, op, metric };
        const auto a = GridPlanView::vertex( 2, 2 );
        const auto b = GridPlanView::vertex( 3, 2 );
        EXPECT_TRUE(
            decimator.collapse_edge( { plan.polygon_edge( a, b ), { a, b } } ) );
    }

    // The whole surface under a size field twice its edges: vertices go,
    // the border and the trace stay, the triangulation stays valid and
    // covers the same area.
    TEST( DecimateBackgroundSurfaceWithMetric, KeepsBorderTraceAndArea )
    {
        GridPlanView plan{ true };
        const auto metric = constant_metric( 2.5 );
        {
            internal::BackgroundSurfaceConstraintModifier constraint_modifier{
                { plan.background, plan.modifier }, plan.background_builder, 2
            };
            const internal::MetricBasedDecimator op{ plan.background,
                metric.grid_metric };
            internal::decimate_background_surface_with_metric(
                constraint_modifier, op, metric );
            internal::BackgroundSurfaceQualityOptimizer optimizer;
            internal::optimize_background_surface_elements(
                constraint_modifier, optimizer, 0 );
        }
        const auto mappings = plan.modifier.clean();
        const auto& surface = *plan.surface;
        EXPECT_LT( surface.nb_vertices(), 35 );
        EXPECT_TRUE( test::surface_inconsistencies( surface ).empty() );
        double area{ 0 };
        for( index_t triangle = 0; triangle < surface.nb_polygons(); triangle++ )
        {
            const auto corners = surface.triangle( triangle );
            const auto& points = corners.vertices();
            const Vector2D u{ points[0], points[1] };
            const Vector2D v{ points[0], points[2] };
            const auto doubled = u.value( 0 ) * v.value( 1 ) - u.value( 1 ) * v.value( 0 );
            EXPECT_GT( doubled, 0 );
            area += doubled / 2;
        }
        EXPECT_NEAR( area, 24, 1e-9 );
        // Every border vertex of the grid is still there, unmoved.
        for( index_t x = 0; x <= 6; x++ )
        {
            for( const auto y : { 0u, 4u } )
            {
                const auto kept = mappings.vertices[GridPlanView::vertex( x, y )];
                ASSERT_NE( kept, NO_ID );
                EXPECT_EQ( surface.point( kept ),
                    ( Point2D{ { double( x ), double( y ) } } ) );
            }
        }
        // The trace is still a chain from (0, 2) to (6, 2).
        index_t nb_trace_edges{ 0 };
        double trace_length{ 0 };
        for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            if( !plan.background.macro_edges( edge ).empty() )
            {
                nb_trace_edges++;
                const auto& ends = surface.edges().edge_vertices( edge );
                EXPECT_EQ( surface.point( ends[0] ).value( 1 ), 2 );
                EXPECT_EQ( surface.point( ends[1] ).value( 1 ), 2 );
                trace_length += point_point_distance(
                    surface.point( ends[0] ), surface.point( ends[1] ) );
            }
        }
        EXPECT_GT( nb_trace_edges, 0 );
        EXPECT_NEAR( trace_length, 6, 1e-9 );
    }

    TEST( BackgroundSurfaceQualityOptimizer, StoresTheSmallestHeight )
    {
        const auto surface = test::grid_surface< 2 >( 1, 1 );
        internal::BackgroundSurfaceQualityOptimizer optimizer;
        EXPECT_TRUE( optimizer.evaluate_triangle( *surface, 0 ) );
        ASSERT_EQ( optimizer.internal_distances().size(), 1 );
        // The right isosceles triangle of legs 1: height on the hypotenuse.
        EXPECT_NEAR(
            optimizer.internal_distances().front().value, std::sqrt( 0.5 ), 1e-12 );
    }
} // namespace brevane
