#pragma once

#include <array>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/common.h>

namespace brevane
{
    // One side of a strip: vertex indices in order along the strip and their
    // positions along it, strictly increasing. Only the relative positions
    // matter: each chain is rescaled to run from 0 to 1.
    struct StripChain
    {
        absl::Span< const index_t > vertices;
        absl::Span< const double > positions;
    };

    // Triangulates the strip between two chains that run side by side in
    // the same direction, from the edge joining their first vertices to the
    // edge joining their last ones, and appends the triangles. The chains
    // are merged by position: each triangle has two consecutive vertices of
    // one chain and one vertex of the other, so no triangle is flat as long
    // as every chain vertex sees the other chain across the strip (two
    // chains on distinct lines, or on the two sides of a convex region).
    // There are ( first size - 1 ) + ( second size - 1 ) triangles; they
    // turn counter-clockwise when the second chain lies on the right of the
    // first, seen along the direction of travel. A chain of one vertex makes
    // a fan. Throws when a chain is empty, when both have a single vertex,
    // when the vertex and position counts differ or when positions do not
    // strictly increase.
    void append_strip_triangles( const StripChain& first,
        const StripChain& second,
        std::vector< std::array< index_t, 3 > >& triangles );
} // namespace brevane
