#pragma once

#include <halven/decimation/background_surface_all_non_macro_vertex.h>
#include <halven/metric/grid_metric.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // The decimation operator of the plan view: an edge is a candidate when
    // one of its ends may be removed (no macro vertex record, not on the
    // border) and it is not longer than the target length at its middle.
    class VARNHOLT_PILLAR_EXPORT MetricBasedDecimator
        : public BackgroundSurfaceAllNonMacroVertex
    {
    public:
        // The background surface and the metric must outlive the operator.
        MetricBasedDecimator(
            const BackgroundSurface& background, const GridMetric< 2 >& metric );
        ~MetricBasedDecimator() override;

        [[nodiscard]] bool skip_edge( const TriangulatedSurface2D& surface,
            const PolygonEdge& edge ) const override;

    private:
        const GridMetric< 2 >* metric_;
    };
} // namespace brevane::internal
