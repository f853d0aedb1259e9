#pragma once

#include <memory>
#include <optional>

#include <halven/decimation/background_surface_decimator.h>

#include <pillar/metric.h>
#include <pillar/varnholt_pillar_export.h>

// Decimation of a plan view under its size field, keeping its line traces
// from stretching.
namespace brevane::internal
{
    // A background-surface decimator that refuses a collapse along a line
    // trace when it would stretch another trace edge at the removed vertex
    // beyond 1.2 times the target length at the kept vertex. Trace edges
    // shorter than 0.3 times that length are collapsed without the check:
    // they are the slivers that inserting the traces made.
    class VARNHOLT_PILLAR_EXPORT BackgroundSurfaceMetricDecimator
        : public BackgroundSurfaceDecimator
    {
    public:
        // The modifier, the operator and the metric must outlive the
        // decimator.
        BackgroundSurfaceMetricDecimator(
            BackgroundSurfaceConstraintModifier& modifier,
            const TriangulatedSurfaceDecimatorOperator< 2 >& op,
            const Metric& metric );
        ~BackgroundSurfaceMetricDecimator() override;

    protected:
        // Empty when the collapse is refused or not valid.
        [[nodiscard]] std::optional< ProcessElementResult > collapse_edge(
            const OrientedEdge& edge ) override;

    private:
        class Impl;
        std::unique_ptr< Impl > impl_;
    };

    // Offers every edge of the surface to a metric decimator once (an inner
    // edge from both of its triangles), the operator deciding which edges
    // are candidates.
    VARNHOLT_PILLAR_EXPORT void decimate_background_surface_with_metric(
        BackgroundSurfaceConstraintModifier& modifier,
        const TriangulatedSurfaceDecimatorOperator< 2 >& op,
        const Metric& metric );
} // namespace brevane::internal
