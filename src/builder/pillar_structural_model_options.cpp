#include <pillar/pillar_structural_model_options.h>

namespace brevane
{
    PillarStructuralModelOptions::PillarStructuralModelOptions()
        : add_block_mesh{ true }
    {
    }

    PillarStructuralModelOptions& PillarStructuralModelOptions::operator=(
        const PillarStructuralModelOptions& other )
    {
        add_block_mesh = other.add_block_mesh;
        return *this;
    }

    PillarStructuralModelOptions& PillarStructuralModelOptions::operator=(
        PillarStructuralModelOptions&& other ) noexcept
    {
        add_block_mesh = other.add_block_mesh;
        return *this;
    }
} // namespace brevane
