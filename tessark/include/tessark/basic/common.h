#pragma once

#include <cstdint>
#include <limits>

namespace brevane
{
    // Index of a vertex, polygon, edge, unique vertex... in a contiguous array.
    using index_t = std::uint32_t;
    // Index of a vertex or an edge inside one polygon or polyhedron.
    using local_index_t = std::uint8_t;

    // The absent index: "no such element".
    inline constexpr index_t NO_ID = std::numeric_limits< index_t >::max();
    // The absent local index.
    inline constexpr local_index_t NO_LID =
        std::numeric_limits< local_index_t >::max();

    // Distances below this value (in model units) are treated as zero by
    // geometric comparisons such as inexact_equal.
    inline constexpr double GLOBAL_EPSILON = 1e-6;
} // namespace brevane
