#include "builder/pillar_structural_model_builder_impl.h"

// The surface groups and their top-to-bottom order. Filled in by the surface
// groups stage; until then there are no groups and the order is empty.
namespace brevane
{
    std::vector< SurfaceGroup >
        PillarStructuralModelBuilder::Impl::compute_surface_groups() const
    {
        return {};
    }

    std::vector< SurfaceGroup >
        PillarStructuralModelBuilder::Impl::find_surface_groups_order(
            const ModelMeshesAABBTree< 3 >&,
            absl::Span< const SurfaceGroup >,
            double ) const
    {
        return {};
    }
} // namespace brevane
