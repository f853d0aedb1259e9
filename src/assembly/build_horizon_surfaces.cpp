#include "builder/pillar_structural_model_builder_impl.h"

// The remeshing of the surfaces from the pillars into slice collections.
// Filled in by the horizon-building stage; until then no surface is rebuilt
// and no slice collection is created.
namespace brevane
{
    std::vector< uuid > PillarStructuralModelBuilder::Impl::build_horizon_surfaces(
        absl::Span< const Pillar > )
    {
        return {};
    }
} // namespace brevane
