#include <tessark/geometry/projection.h>

namespace brevane
{
    template < index_t D >
    Point< D > point_segment_projection(
        const Point< D >& point, const Segment< D >& segment )
    {
        const auto& [start, end] = segment.vertices();
        const auto direction = segment.direction();
        const auto length2 = direction.length2();
        if( length2 == 0 )
        {
            return start;
        }
        const auto parameter =
            direction.dot( Vector< D >{ start, point } ) / length2;
        if( !( parameter > 0 ) )
        {
            return start;
        }
        if( parameter >= 1 )
        {
            return end;
        }
        return start + direction * parameter;
    }

    template < index_t D >
    Point< D > point_line_projection(
        const Point< D >& point, const InfiniteLine< D >& line )
    {
        const auto& direction = line.direction();
        const auto length2 = direction.length2();
        TESSARK_EXCEPTION( length2 > 0,
            "[point_line_projection] Line direction is zero (line origin ",
            line.origin().string(), ")" );
        const auto parameter =
            direction.dot( Vector< D >{ line.origin(), point } ) / length2;
        return line.origin() + direction * parameter;
    }

    Point3D point_plane_projection( const Point3D& point, const Plane& plane )
    {
        const auto& normal = plane.normal();
        const auto length2 = normal.length2();
        TESSARK_EXCEPTION( length2 > 0,
            "[point_plane_projection] Plane normal is zero (plane origin ",
            plane.origin().string(), ")" );
        const auto offset = normal.dot( Vector3D{ plane.origin(), point } );
        return point + normal * ( -offset / length2 );
    }

    template Point< 2 > point_segment_projection(
        const Point< 2 >&, const Segment< 2 >& );
    template Point< 3 > point_segment_projection(
        const Point< 3 >&, const Segment< 3 >& );
    template Point< 2 > point_line_projection(
        const Point< 2 >&, const InfiniteLine< 2 >& );
    template Point< 3 > point_line_projection(
        const Point< 3 >&, const InfiniteLine< 3 >& );
} // namespace brevane
