#pragma once

#include <array>

#include <tessark/geometry/basic_objects.h>

// Barycentric coordinates in triangles: the weights ( w0, w1, w2 ), summing
// to 1, such that w0 v0 + w1 v1 + w2 v2 is the point (in 3D, the point's
// orthogonal projection on the triangle's plane). They are all in [0, 1]
// inside the triangle; a negative weight means the point is beyond the edge
// opposite that vertex.
namespace brevane
{
    // Throws on a triangle whose computed area is zero.
    template < index_t D >
    [[nodiscard]] std::array< double, 3 > triangle_barycentric_coordinates(
        const Point< D >& point, const Triangle< D >& triangle );

    // The same weights, without ever dividing by a vanishing area. A triangle
    // is degenerate for this function when its height over its longest edge
    // is at most 1e-12 times that edge (collinear vertices included): the
    // regular weights would then be dominated by rounding errors. The point
    // is then projected on the longest edge (see point_segment_projection,
    // clamped to the edge) and the two end vertices of that edge get the
    // weights of the projection (summing to 1, the third weight being 0).
    // When the three vertices coincide, the weights are ( 1, 0, 0 ).
    template < index_t D >
    [[nodiscard]] std::array< double, 3 > safe_triangle_barycentric_coordinates(
        const Point< D >& point, const Triangle< D >& triangle );
} // namespace brevane
