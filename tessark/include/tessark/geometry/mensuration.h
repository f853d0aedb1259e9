#pragma once

#include <tessark/geometry/basic_objects.h>

// Measures of geometric objects, computed in double precision.
namespace brevane
{
    // Positive for a counter-clockwise triangle, negative for a clockwise
    // one. The exact sign is given by triangle_area_sign (predicates.h).
    [[nodiscard]] double triangle_signed_area( const Triangle2D& triangle );

    template < index_t D >
    [[nodiscard]] double triangle_area( const Triangle< D >& triangle );
} // namespace brevane
