#pragma once

#include <string>
#include <vector>

#include <tessark/model/brep.h>

namespace brevane
{
    // Where the surfaces of a model leave gaps: one line for every border
    // edge of a surface mesh that no other surface has (on its border or
    // inside), as unique vertices, naming the surface and the edge's end
    // points. Surfaces in model order, edges in polygon order. An edge with
    // a vertex bound to no unique vertex meets no other surface.
    [[nodiscard]] std::vector< std::string > unshared_surface_borders(
        const BRep& model );
} // namespace brevane
