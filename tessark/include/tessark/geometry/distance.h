#pragma once

#include <tuple>

#include <tessark/geometry/basic_objects.h>

// Euclidean distances between geometric objects, computed in double
// precision. Objects that define no direction (zero line direction, zero
// plane normal) are rejected with a TessarkException; segments and triangles
// may be degenerate.
namespace brevane
{
    template < index_t D >
    [[nodiscard]] double point_point_distance(
        const Point< D >& point0, const Point< D >& point1 );

    // Distance to the nearest point of the segment (see
    // point_segment_projection); a zero-length segment is its point.
    template < index_t D >
    [[nodiscard]] double point_segment_distance(
        const Point< D >& point, const Segment< D >& segment );

    template < index_t D >
    [[nodiscard]] double point_line_distance(
        const Point< D >& point, const InfiniteLine< D >& line );

    // ( distance, nearest point of the segment, nearest point of the line ).
    // When several pairs are nearest (a segment parallel to the line, a
    // zero-length segment), the segment's first vertex and its projection on
    // the line are returned.
    [[nodiscard]] std::tuple< double, Point3D, Point3D > segment_line_distance(
        const Segment3D& segment, const InfiniteLine3D& line );

    // ( distance, nearest point of the closed triangle ). A degenerate
    // triangle is handled as the union of its edges.
    [[nodiscard]] std::tuple< double, Point3D > point_triangle_distance(
        const Point3D& point, const Triangle3D& triangle );

    // normal . ( point - origin ) / |normal|: positive on the side the
    // plane's normal points to. Its sign is that of a double computation;
    // point_side_to_plane (predicates.h) gives the exact side.
    [[nodiscard]] double point_plane_signed_distance(
        const Point3D& point, const Plane& plane );

    [[nodiscard]] double point_plane_distance(
        const Point3D& point, const Plane& plane );
} // namespace brevane
