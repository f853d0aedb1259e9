#pragma once

#include <optional>
#include <utility>

#include <tessark/geometry/basic_objects.h>

// Intersections with their constructed points. Whether and where objects
// meet is decided exactly (predicates.h, intersection_detection.h); only the
// coordinates of the point are computed in double precision, and the point is
// kept on the segment it belongs to. When the exact decision puts the point
// at a vertex, that vertex is returned as is.
namespace brevane
{
    enum struct INTERSECTION_TYPE
    {
        // The objects do not meet.
        none,
        // The objects meet at one point, given in the result.
        intersect,
        // The objects are parallel (in particular when one lies in the
        // other): no single point.
        parallel,
        // An input object is degenerate (zero normal, collinear triangle
        // vertices...): no answer.
        incorrect
    };

    template < typename Result >
    struct IntersectionResult
    {
        IntersectionResult() = default;
        // A found intersection.
        explicit IntersectionResult( Result intersection )
            : result( std::move( intersection ) )
            , type( INTERSECTION_TYPE::intersect )
        {
        }
        // An outcome without a point (none, parallel or incorrect).
        explicit IntersectionResult( INTERSECTION_TYPE intersection_type )
            : type( intersection_type )
        {
            TESSARK_EXCEPTION(
                intersection_type != INTERSECTION_TYPE::intersect,
                "[IntersectionResult] An intersection needs its result" );
        }

        // True when a point was found (type intersect).
        [[nodiscard]] bool has_intersection() const
        {
            return result.has_value();
        }

        std::optional< Result > result;
        INTERSECTION_TYPE type{ INTERSECTION_TYPE::none };
    };

    // The point where the segment meets the plane: parallel when the segment
    // is parallel to the plane (lying in it or not; zero-length segments
    // included), none when it does not reach the plane, incorrect for a plane
    // with a zero normal.
    [[nodiscard]] IntersectionResult< Point3D > segment_plane_intersection(
        const Segment3D& segment, const Plane& plane );

    // The point where the line meets the plane: parallel when the line is
    // exactly parallel to the plane (lying in it or not) or so close to it
    // that the point cannot be computed, incorrect for a zero line direction
    // or plane normal.
    [[nodiscard]] IntersectionResult< Point3D > line_plane_intersection(
        const InfiniteLine3D& line, const Plane& plane );

    // The point where the segment meets the closed triangle (edges and
    // vertices included, see segment_triangle_intersection_detection):
    // parallel when the segment lies in the triangle's plane (whether it
    // meets the triangle or not), none when they do not meet, incorrect for
    // a degenerate triangle. A point on an edge is computed from the segment
    // and that edge alone, the edge's vertices taken in lexicographic order,
    // so that the triangles sharing the edge report the very same point.
    [[nodiscard]] IntersectionResult< Point3D > segment_triangle_intersection(
        const Segment3D& segment, const Triangle3D& triangle );

    // The point where two 2D segments meet (see
    // segment_segment_intersection_detection): parallel when collinear
    // segments share more than one point, none when they do not meet, the
    // common point otherwise (collinear segments touching by one end and
    // zero-length segments lying on the other one included).
    [[nodiscard]] IntersectionResult< Point2D > segment_segment_intersection(
        const Segment2D& segment0, const Segment2D& segment1 );
} // namespace brevane
