#pragma once

#include <functional>
#include <memory>

#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    // A height field z = height( x, y ) over n x n unit squares from (0, 0),
    // each square split along its diagonal from ( i, j ) to ( i + 1, j + 1 )
    // into two counter-clockwise triangles: interior vertices have six
    // triangles around them. Vertex ( i, j ) has index j * ( n + 1 ) + i.
    [[nodiscard]] std::unique_ptr< TriangulatedSurface< 3 > > height_field_surface(
        index_t nb_squares, const std::function< double( double, double ) >& height );
} // namespace brevane
