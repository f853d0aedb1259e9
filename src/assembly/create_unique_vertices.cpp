#include "builder/pillar_structural_model_builder_impl.h"

// Unique vertices along the pillars. Filled in by the unique-vertices stage;
// until then the model's unique vertices are left as they are.
namespace brevane
{
    void PillarStructuralModelBuilder::Impl::create_unique_vertices(
        absl::Span< const Pillar > )
    {
    }
} // namespace brevane
