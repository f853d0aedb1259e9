#include "builder/pillar_structural_model_builder_impl.h"

// Side boundaries, line and corner removal and pillar links. Filled in by the
// model-boundaries stage; until then the side boundaries, lines and corners
// are left as they are and no pillar link is recorded.
namespace brevane
{
    void PillarStructuralModelBuilder::Impl::build_model_boundaries(
        absl::Span< const Pillar > )
    {
    }

    void PillarStructuralModelBuilder::Impl::remove_lines_and_corners() {}

    void PillarStructuralModelBuilder::Impl::link_pillar_vertices(
        absl::Span< const Pillar > )
    {
    }
} // namespace brevane
