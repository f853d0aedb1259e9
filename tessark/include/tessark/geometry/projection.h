#pragma once

#include <tessark/geometry/basic_objects.h>

// Nearest points of geometric objects to a point, computed in double
// precision.
namespace brevane
{
    // The point of the segment nearest to the point: its orthogonal
    // projection on the segment's line clamped to the segment's ends (an end
    // is then returned exactly). A zero-length segment gives its point.
    template < index_t D >
    [[nodiscard]] Point< D > point_segment_projection(
        const Point< D >& point, const Segment< D >& segment );

    // The orthogonal projection of the point on the line. Throws on a zero
    // line direction.
    template < index_t D >
    [[nodiscard]] Point< D > point_line_projection(
        const Point< D >& point, const InfiniteLine< D >& line );

    // The orthogonal projection of the point on the plane (whose normal needs
    // not be a unit vector). Throws on a zero normal.
    [[nodiscard]] Point3D point_plane_projection(
        const Point3D& point, const Plane& plane );
} // namespace brevane
