#include <pillar/background_surface_metric_decimator.h>

#include <tessark/geometry/distance.h>

namespace brevane::internal
{
    class BackgroundSurfaceMetricDecimator::Impl
    {
    public:
        Impl( BackgroundSurfaceConstraintModifier& modifier_in,
            const Metric& metric_in )
            : modifier( modifier_in ), metric( metric_in )
        {
        }

        // True when merging a into b would leave a trace edge at a longer
        // than 1.2 x, x the target length at b; only checked when the edge
        // (a, b) is a trace edge of at least 0.3 x.
        [[nodiscard]] bool stretches_trace( const OrientedEdge& edge )
        {
            const auto& background = modifier.modifiable_background().first;
            const auto& surface = background.surface();
            const auto a = edge.vertices[0];
            const auto b = edge.vertices[1];
            const auto& b_point = surface.point( b );
            const auto target = metric.grid_metric.metric( b_point, Vector2D{} );
            const auto& edges = surface.edges();
            const auto collapsed = edges.edge_from_vertices( { a, b } ).value();
            if( background.macro_edges( collapsed ).empty()
                || point_point_distance( surface.point( a ), b_point )
                       < 0.3 * target )
            {
                return false;
            }
            for( const auto c : surface.vertices_around_vertex( a ) )
            {
                const auto neighbour = edges.edge_from_vertices( { a, c } ).value();
                if( !background.macro_edges( neighbour ).empty()
                    && point_point_distance( b_point, surface.point( c ) )
                           > 1.2 * target )
                {
                    return true;
                }
            }
            return false;
        }

    private:
        BackgroundSurfaceConstraintModifier& modifier;
        const Metric& metric;
    };

    BackgroundSurfaceMetricDecimator::BackgroundSurfaceMetricDecimator(
        BackgroundSurfaceConstraintModifier& modifier,
        const TriangulatedSurfaceDecimatorOperator< 2 >& op,
        const Metric& metric )
        : BackgroundSurfaceDecimator( modifier, op ),
          impl_( std::make_unique< Impl >( modifier, metric ) )
    {
    }

    BackgroundSurfaceMetricDecimator::~BackgroundSurfaceMetricDecimator() =
        default;

    std::optional< BackgroundSurfaceMetricDecimator::ProcessElementResult >
        BackgroundSurfaceMetricDecimator::collapse_edge( const OrientedEdge& edge )
    {
        if( impl_->stretches_trace( edge ) )
        {
            return std::nullopt;
        }
        return BackgroundSurfaceDecimator::collapse_edge( edge );
    }

    void decimate_background_surface_with_metric(
        BackgroundSurfaceConstraintModifier& modifier,
        const TriangulatedSurfaceDecimatorOperator< 2 >& op,
        const Metric& metric )
    {
        BackgroundSurfaceMetricDecimator decimator{ modifier, op, metric };
        decimator.apply(
            all_polygon_edges( modifier.modifiable_surface().first ) );
    }
} // namespace brevane::internal
