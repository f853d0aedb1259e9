#pragma once

#include <cstdint>

#include <tessark/geometry/basic_objects.h>

// Exact geometric predicates. Each one first evaluates its determinant in
// double precision together with a bound on the rounding error of that
// evaluation; when the bound cannot guarantee the sign, the determinant is
// evaluated again exactly with floating-point expansions. The answers are
// therefore the signs of the real determinants of the given double
// coordinates: degenerate configurations give SIDE::zero exactly, and
// permuting the arguments changes the answer exactly as the permutation
// changes the determinant.
//
// Exactness holds as long as no intermediate result overflows or loses bits
// to underflow, which is the case for coordinates that are zero or of
// magnitude between 1e-90 and 1e90. Non-finite coordinates never pass the
// filter and are rejected with a TessarkException.
namespace brevane
{
    // Sign of a determinant. The negative value is 1 on purpose: callers may
    // store or compare the raw value.
    enum struct SIDE : std::uint8_t
    {
        positive = 0,
        negative = 1,
        zero = 2
    };

    // Sign of det( b - a, c - a ): positive when a, b, c turn
    // counter-clockwise, negative when they turn clockwise, zero when they
    // are collinear (coincident points included).
    [[nodiscard]] SIDE orientation_2d(
        const Point2D& a, const Point2D& b, const Point2D& c );

    // Sign of ( ( b - a ) x ( c - a ) ) . ( d - a ): positive when d lies on
    // the side the normal of triangle abc points to, the normal following the
    // right-hand rule (seen from that side, a, b, c turn counter-clockwise);
    // negative on the other side; zero when the four points are coplanar
    // (collinear or coincident points included).
    [[nodiscard]] SIDE orientation_3d( const Point3D& a,
        const Point3D& b,
        const Point3D& c,
        const Point3D& d );

    // orientation_2d of the three vertices: positive for a counter-clockwise
    // triangle, zero for a degenerate one.
    [[nodiscard]] SIDE triangle_area_sign( const Triangle2D& triangle );

    // Positive when the point is on the left of the segment directed from its
    // first to its second vertex, negative on its right, zero on its line.
    [[nodiscard]] SIDE point_side_to_segment(
        const Point2D& point, const Segment2D& segment );

    // Exact sign of normal . ( point - origin ) for the plane's own normal and
    // origin: positive on the side the normal points to. A plane with a zero
    // normal gives zero for every point.
    [[nodiscard]] SIDE point_side_to_plane(
        const Point3D& point, const Plane& plane );

    // orientation_3d of the triangle's vertices and the point: positive on
    // the side of the triangle's normal (Triangle::normal_direction).
    [[nodiscard]] SIDE point_side_to_triangle(
        const Point3D& point, const Triangle3D& triangle );

    // True when the two closed segments share at least one point: proper
    // crossings, an end point touching the other segment and overlapping
    // collinear segments all count. Zero-length segments are points.
    [[nodiscard]] bool segments_cross(
        const Segment2D& segment0, const Segment2D& segment1 );

    // True when the three vertices of the triangle are exactly collinear
    // (coincident vertices included), so that it spans no plane.
    [[nodiscard]] bool is_triangle_degenerate( const Triangle3D& triangle );
} // namespace brevane
