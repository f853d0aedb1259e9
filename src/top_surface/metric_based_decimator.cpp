#include "top_surface/metric_based_decimator.h"

namespace brevane::internal
{
    MetricBasedDecimator::MetricBasedDecimator(
        const BackgroundSurface& background, const GridMetric< 2 >& metric )
        : BackgroundSurfaceAllNonMacroVertex( background ), metric_( &metric )
    {
    }

    MetricBasedDecimator::~MetricBasedDecimator() = default;

    bool MetricBasedDecimator::skip_edge(
        const TriangulatedSurface2D& surface, const PolygonEdge& edge ) const
    {
        if( BackgroundSurfaceAllNonMacroVertex::skip_edge( surface, edge ) )
        {
            return true;
        }
        return surface.edge_length( edge )
               > metric_->metric( surface.edge_barycenter( edge ), Vector2D{} );
    }
} // namespace brevane::internal
