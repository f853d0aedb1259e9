#include <tessark/geometry/distance.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <tessark/geometry/projection.h>

namespace
{
    // Below this squared sine of the angle between a segment and a line,
    // they are handled as parallel: every point of the segment is then as
    // near to the line as rounding can tell.
    constexpr double PARALLEL_SQUARED_SINE =
        std::numeric_limits< double >::epsilon()
        * std::numeric_limits< double >::epsilon();

    brevane::Point3D point_on_segment(
        const brevane::Segment3D& segment, double parameter )
    {
        if( !( parameter > 0 ) )
        {
            return segment.vertices()[0];
        }
        if( parameter >= 1 )
        {
            return segment.vertices()[1];
        }
        return segment.vertices()[0] + segment.direction() * parameter;
    }

    // True when the point projects into the closed triangle along its
    // normal: it is on the inner side of each edge.
    bool projects_inside( const brevane::Point3D& point,
        const brevane::Triangle3D& triangle,
        const brevane::Vector3D& normal )
    {
        const auto& vertices = triangle.vertices();
        for( brevane::local_index_t edge = 0; edge < 3; edge++ )
        {
            const auto& start = vertices[edge];
            const brevane::Vector3D edge_direction{ start,
                vertices[( edge + 1 ) % 3] };
            const brevane::Vector3D offset{ start, point };
            if( edge_direction.cross( offset ).dot( normal ) < 0 )
            {
                return false;
            }
        }
        return true;
    }
} // namespace

namespace brevane
{
    template < index_t D >
    double point_point_distance(
        const Point< D >& point0, const Point< D >& point1 )
    {
        return Vector< D >{ point0, point1 }.length();
    }

    template < index_t D >
    double point_segment_distance(
        const Point< D >& point, const Segment< D >& segment )
    {
        return point_point_distance(
            point, point_segment_projection( point, segment ) );
    }

    template < index_t D >
    double point_line_distance(
        const Point< D >& point, const InfiniteLine< D >& line )
    {
        return point_point_distance(
            point, point_line_projection( point, line ) );
    }

    std::tuple< double, Point3D, Point3D > segment_line_distance(
        const Segment3D& segment, const InfiniteLine3D& line )
    {
        const auto& line_direction = line.direction();
        const auto line_length2 = line_direction.length2();
        TESSARK_EXCEPTION( line_length2 > 0,
            "[segment_line_distance] Line direction is zero (line origin ",
            line.origin().string(), ")" );
        // Components orthogonal to the line of the segment's direction and of
        // its start seen from the line's origin: the squared distance along
        // the segment is |start_offset + s direction|^2 in that subspace.
        const auto orthogonal = [&line_direction, line_length2](
                                    const Vector3D& vector )
        {
            return vector
                   - line_direction
                         * ( vector.dot( line_direction ) / line_length2 );
        };
        const auto direction = orthogonal( segment.direction() );
        const auto start_offset =
            orthogonal( Vector3D{ line.origin(), segment.vertices()[0] } );
        const auto direction_length2 = direction.length2();
        double parameter{ 0 };
        if( direction_length2
            > PARALLEL_SQUARED_SINE * segment.direction().length2() )
        {
            parameter = -start_offset.dot( direction ) / direction_length2;
        }
        const auto segment_point = point_on_segment( segment, parameter );
        const auto line_point = point_line_projection( segment_point, line );
        return { point_point_distance( segment_point, line_point ),
            segment_point, line_point };
    }

    std::tuple< double, Point3D > point_triangle_distance(
        const Point3D& point, const Triangle3D& triangle )
    {
        const auto normal = triangle.normal_direction();
        const auto& vertices = triangle.vertices();
        if( normal.length2() > 0 && projects_inside( point, triangle, normal ) )
        {
            const auto projection =
                point_plane_projection( point, Plane{ normal, vertices[0] } );
            return { point_point_distance( point, projection ), projection };
        }
        std::tuple< double, Point3D > nearest{
            std::numeric_limits< double >::max(), vertices[0]
        };
        for( local_index_t edge = 0; edge < 3; edge++ )
        {
            const auto projection = point_segment_projection( point,
                Segment3D{ vertices[edge], vertices[( edge + 1 ) % 3] } );
            const auto distance = point_point_distance( point, projection );
            if( distance < std::get< 0 >( nearest ) )
            {
                nearest = { distance, projection };
            }
        }
        return nearest;
    }

    double point_plane_signed_distance(
        const Point3D& point, const Plane& plane )
    {
        const auto& normal = plane.normal();
        const auto length = normal.length();
        TESSARK_EXCEPTION( length > 0,
            "[point_plane_signed_distance] Plane normal is zero (plane origin ",
            plane.origin().string(), ")" );
        return normal.dot( Vector3D{ plane.origin(), point } ) / length;
    }

    double point_plane_distance( const Point3D& point, const Plane& plane )
    {
        return std::abs( point_plane_signed_distance( point, plane ) );
    }

    template double point_point_distance(
        const Point< 2 >&, const Point< 2 >& );
    template double point_point_distance(
        const Point< 3 >&, const Point< 3 >& );
    template double point_segment_distance(
        const Point< 2 >&, const Segment< 2 >& );
    template double point_segment_distance(
        const Point< 3 >&, const Segment< 3 >& );
    template double point_line_distance(
        const Point< 2 >&, const InfiniteLine< 2 >& );
    template double point_line_distance(
        const Point< 3 >&, const InfiniteLine< 3 >& );
} // namespace brevane
