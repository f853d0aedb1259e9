#pragma once

#include <pillar/varnholt_pillar_export.h>

namespace brevane
{
    // Options of PillarStructuralModelBuilder::build.
    struct VARNHOLT_PILLAR_EXPORT PillarStructuralModelOptions
    {
        PillarStructuralModelOptions();
        PillarStructuralModelOptions( const PillarStructuralModelOptions& ) =
            default;
        PillarStructuralModelOptions& operator=(
            const PillarStructuralModelOptions& other );
        PillarStructuralModelOptions& operator=(
            PillarStructuralModelOptions&& other ) noexcept;

        // Asks for volumetric meshes of the blocks. The build does not make
        // them yet: block meshes are left empty whatever the flag says.
        bool add_block_mesh;
    };
} // namespace brevane
