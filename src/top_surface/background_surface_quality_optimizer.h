#pragma once

#include <halven/decimation/triangulated_surface_internal_distance_improvement_simulator.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // The judge of the plan view's optimisation: a triangle's quality is its
    // minimal internal distance (its smallest height).
    class VARNHOLT_PILLAR_EXPORT BackgroundSurfaceQualityOptimizer
        : public TriangulatedSurfaceInternalDistanceImprovementSimulator< 2 >
    {
    public:
        BackgroundSurfaceQualityOptimizer() = default;
        ~BackgroundSurfaceQualityOptimizer() override;

        // Stores the triangle's minimal internal distance; always true.
        [[nodiscard]] bool evaluate_triangle(
            const TriangulatedSurface< 2 >& surface, index_t triangle ) override;
    };
} // namespace brevane::internal
