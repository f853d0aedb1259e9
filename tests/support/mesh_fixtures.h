#pragma once

#include <memory>
#include <string>
#include <vector>

#include <tessark/geometry/point.h>
#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>

// Small meshes for tests, in the plane (D = 2) or in the plane z = 0 of space
// (D = 3). Surfaces come with their adjacencies computed and counter-clockwise
// polygons.
namespace brevane::test
{
    // (x, y), with z = 0 in space.
    template < index_t D >
    [[nodiscard]] Point< D > planar_point( double x, double y );

    // Six triangles (0, k, k + 1) around vertex 0 at the origin; vertices 1
    // to 6 on the unit circle. Vertex 0 is inner, the others are on one
    // border loop of six edges.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< TriangulatedSurface< D > > closed_fan();

    // Four triangles (0, k, k + 1) around vertex 0 at the origin; vertices 1
    // to 5 on the upper unit half circle. Every vertex is on the border loop
    // 0 -> 1 -> ... -> 5 -> 0.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< TriangulatedSurface< D > > open_fan();

    // The 3 x 3 unit squares of [0, 3]^2 without the middle one, two
    // triangles each (16 triangles, 16 vertices): two border loops, the
    // outer one of 12 edges, the inner one of 4. Every vertex is on a border.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< TriangulatedSurface< D > > square_ring();

    // The unit squares of [0, 4]^2 with x < 2 or y < 2 (12 squares, 24
    // triangles, 21 vertices): a non-convex border of 16 edges with a reflex
    // corner at (2, 2), and 5 inner vertices.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< TriangulatedSurface< D > > l_shape();

    // nb_x * nb_y unit squares, each split along its diagonal from (i, j) to
    // (i + 1, j + 1) into triangles (i, j) (i + 1, j) (i + 1, j + 1) and
    // (i, j) (i + 1, j + 1) (i, j + 1). The vertex at (i, j) is
    // j * ( nb_x + 1 ) + i; square (i, j) holds triangles 2 * ( j * nb_x + i )
    // and the next one.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< TriangulatedSurface< D > > grid_surface(
        index_t nb_x, index_t nb_y );

    // The same grid with one quadrangle per square, vertices numbered as in
    // grid_surface; quadrangle (i, j) is j * nb_x + i.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< PolygonalSurface< D > > quad_grid(
        index_t nb_x, index_t nb_y );

    // Differences between a surface and what brute force derives from its
    // polygons, one message each (empty when consistent): adjacency (two
    // polygons running an edge in opposite directions, no third one),
    // unique edges (each used, each found from its vertices), vertex links
    // (isolation, border corner for border vertices), polygons_around_vertex
    // against the corners reached from the link through brute-force
    // adjacency, attribute sizes. Meant for surfaces of test size.
    template < index_t D >
    [[nodiscard]] std::vector< std::string > surface_inconsistencies(
        const SurfaceMesh< D >& surface );

    // nb_edges edges along x with a zigzag in y: vertex i at (i, i % 2),
    // edge i from vertex i to vertex i + 1.
    template < index_t D >
    [[nodiscard]] std::unique_ptr< EdgedCurve< D > > zigzag_polyline(
        index_t nb_edges );
} // namespace brevane::test
