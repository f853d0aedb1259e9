#include "builder/pillar_structural_model_builder_impl.h"

// Corners and lines into the plan view. Filled in with the background-surface
// inserter; until then nothing is inserted.
namespace brevane
{
    void PillarStructuralModelBuilder::Impl::insert_model_components() {}
} // namespace brevane
