#include "builder/pillar_structural_model_builder_impl.h"

// The four checks of a model. Filled in by the inspection stage; until then
// an inspection finds nothing: four default records.
namespace brevane
{
    void PillarStructuralModelBuilder::Impl::inspect()
    {
        inspection.emplace();
    }
} // namespace brevane
