#pragma once

#include <string>
#include <vector>

#include <tessark/model/brep.h>

namespace brevane
{
    // Every problem found in a model, one readable line each, naming the
    // components (type and uuid) and mesh elements involved.
    struct ModelValidationReport
    {
        std::vector< std::string > problems;

        [[nodiscard]] bool is_valid() const
        {
            return problems.empty();
        }
        // The problems, one per line.
        [[nodiscard]] std::string string() const;
    };

    // Checks that a model is a consistent boundary representation:
    // - corner meshes hold one vertex, line meshes at least one edge, surface
    //   meshes at least one polygon; no line edge of zero length, no
    //   degenerate polygon (repeated vertex, or a triangle whose three
    //   points are collinear, decided exactly); block meshes may be empty;
    // - every component vertex is bound to a unique vertex, and the
    //   component vertices of a unique vertex share one position (within
    //   the framework's tolerance);
    // - a line bounding a surface runs along border edges of its mesh; a
    //   line inside a surface runs along inner edges of its mesh; every
    //   border edge of a surface lies on one of its boundary lines;
    // - a corner bounding a line is at an end of that line;
    // - the boundary surfaces of a block close: each of their border edges
    //   is shared by exactly two of them;
    // - a block mesh that holds cells has every vertex bound to a unique
    //   vertex, every cell of positive volume, and as border faces (facets
    //   without an adjacent cell) exactly the polygons of the block's
    //   boundary surfaces, compared by unique vertices.
    [[nodiscard]] ModelValidationReport validate_model( const BRep& model );
} // namespace brevane
