#include <halven/decimation/triangulated_surface_optimizer_improvement_simulator.h>

namespace brevane
{
    template < index_t D >
    TriangulatedSurfaceOptimizerImprovementSimulator<
        D >::~TriangulatedSurfaceOptimizerImprovementSimulator() = default;

    template < index_t D >
    double TriangulatedSurfaceOptimizerImprovementSimulator< D >::metric() const
    {
        return worst();
    }

    template class TriangulatedSurfaceOptimizerImprovementSimulator< 2 >;
} // namespace brevane
