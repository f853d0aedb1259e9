#pragma once

#include <string>
#include <vector>

#include <tessark/model/brep.h>

namespace brevane::test
{
    // Invariants of a clean boundary representation beyond those of
    // validate_model, one readable line per problem:
    // - every line mesh is one open chain of edges, each of its two ends
    //   bound to a corner of the line;
    // - no component mesh repeats an element, no unique vertex holds two
    //   vertices of one component;
    // - every surface mesh is a consistently oriented manifold: an edge is
    //   used by one triangle or by two running it in opposite directions;
    // - surfaces share unique vertices only where a line or a corner is;
    // - no two unique vertices stand at the same position;
    // - block meshes are empty.
    [[nodiscard]] std::vector< std::string > structure_problems(
        const BRep& model );

    // The volume enclosed by the boundary surfaces of each block, in the
    // order of model.blocks(): the surfaces are oriented against each other
    // through their shared border edges (a problem is reported when that is
    // impossible) and the absolute enclosed volume is returned.
    struct BlockVolumes
    {
        std::vector< double > volumes;
        std::vector< std::string > problems;
    };
    [[nodiscard]] BlockVolumes block_volumes( const BRep& model );
} // namespace brevane::test
