#include "builder/pillar_structural_model_builder_impl.h"

// The surfaces above and below each plan-view triangle. Filled in by the
// surface-ids stage; until then "surface_ids" keeps its empty lists.
namespace brevane
{
    void PillarStructuralModelBuilder::Impl::assign_surface_ids() {}
} // namespace brevane
