#pragma once

#include <compare>

#include <tessark/geometry/basic_objects.h>

namespace brevane
{
    // A length measured inside a triangle that tells how well shaped it is:
    // it scales with the triangle, and a flat triangle has none. Larger is
    // better.
    struct InternalDistance
    {
        [[nodiscard]] auto operator<=>(
            const InternalDistance& other ) const = default;

        double value{ 0 };
    };

    // The smallest height of the triangle: twice its area divided by its
    // longest edge. It is 0 for a degenerate triangle (three aligned or
    // coincident points) and sqrt(3) / 2 times the side of an equilateral
    // one; a needle and a flat cap both have a small one.
    template < index_t D >
    [[nodiscard]] InternalDistance minimal_triangle_internal_distance(
        const Triangle< D >& triangle );
} // namespace brevane
