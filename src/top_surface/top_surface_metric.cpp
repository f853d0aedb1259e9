#include "builder/pillar_structural_model_builder_impl.h"

// The size field of the plan view. Filled in with the grid metric; until
// then the metric holds no grid.
namespace brevane
{
    internal::Metric PillarStructuralModelBuilder::Impl::create_top_surface_metric(
        const SurfaceMesh< 2 >& ) const
    {
        return {};
    }
} // namespace brevane
