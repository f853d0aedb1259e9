#pragma once

#include <memory>

#include <tessark/mesh/surface_mesh.h>

namespace brevane::cli
{
    // A copy of a triangulated or polygonal surface mesh; null for another
    // kind of surface mesh, which has no copy.
    [[nodiscard]] std::unique_ptr< SurfaceMesh< 3 > > copy_surface_mesh(
        const SurfaceMesh< 3 >& mesh );
} // namespace brevane::cli
