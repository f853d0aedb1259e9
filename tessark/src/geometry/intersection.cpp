#include <tessark/geometry/intersection.h>

#include <algorithm>

#include <tessark/geometry/intersection_detection.h>
#include <tessark/geometry/predicates.h>

namespace
{
    using brevane::INTERSECTION_TYPE;
    using brevane::POSITION;
    using brevane::SIDE;

    bool is_zero( const brevane::Vector3D& vector )
    {
        return vector.value( 0 ) == 0 && vector.value( 1 ) == 0
               && vector.value( 2 ) == 0;
    }

    // The point of the segment at a parameter clamped to [0, 1]; the ends
    // are returned exactly.
    template < brevane::index_t D >
    brevane::Point< D > point_on_segment(
        const brevane::Segment< D >& segment, double parameter )
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

    // Parameter along the segment where a linear function taking the values
    // value0 and value1 at its ends (of opposite signs) vanishes. Rounding may
    // make the two values equal; the middle is then as good as any point.
    double zero_crossing_parameter( double value0, double value1 )
    {
        const auto difference = value0 - value1;
        if( difference == 0 )
        {
            return 0.5;
        }
        return value0 / difference;
    }

    // The point of the segment closest to the line of the edge. The edge's
    // vertices are used in lexicographic order so that every triangle
    // sharing the edge computes the same point.
    std::optional< brevane::Point3D > segment_point_closest_to_edge(
        const brevane::Segment3D& segment,
        const brevane::Point3D& edge_vertex0,
        const brevane::Point3D& edge_vertex1 )
    {
        const auto& edge_start = std::min( edge_vertex0, edge_vertex1 );
        const auto& edge_end = std::max( edge_vertex0, edge_vertex1 );
        const auto direction = segment.direction();
        const brevane::Vector3D edge{ edge_start, edge_end };
        const brevane::Vector3D offset{ edge_start, segment.vertices()[0] };
        const auto direction2 = direction.length2();
        const auto cross_term = direction.dot( edge );
        const auto edge2 = edge.length2();
        const auto denominator = direction2 * edge2 - cross_term * cross_term;
        if( !( denominator > 0 ) )
        {
            return std::nullopt;
        }
        const auto parameter = ( cross_term * edge.dot( offset )
                                   - edge2 * direction.dot( offset ) )
                               / denominator;
        return point_on_segment( segment, parameter );
    }

    brevane::Point3D segment_triangle_point( const brevane::Segment3D& segment,
        const brevane::Triangle3D& triangle,
        const std::pair< POSITION, POSITION >& position )
    {
        const auto& [on_segment, on_triangle] = position;
        const auto& vertices = triangle.vertices();
        if( on_segment == POSITION::vertex0 )
        {
            return segment.vertices()[0];
        }
        if( on_segment == POSITION::vertex1 )
        {
            return segment.vertices()[1];
        }
        if( on_triangle >= POSITION::vertex0
            && on_triangle <= POSITION::vertex2 )
        {
            return vertices[static_cast< std::uint8_t >( on_triangle )
                            - static_cast< std::uint8_t >( POSITION::vertex0 )];
        }
        if( on_triangle >= POSITION::edge0 && on_triangle <= POSITION::edge2 )
        {
            const auto edge = static_cast< std::uint8_t >( on_triangle )
                              - static_cast< std::uint8_t >( POSITION::edge0 );
            if( const auto point = segment_point_closest_to_edge(
                    segment, vertices[edge], vertices[( edge + 1 ) % 3] ) )
            {
                return point.value();
            }
        }
        const auto normal = triangle.normal_direction();
        const auto value0 = normal.dot(
            brevane::Vector3D{ vertices[0], segment.vertices()[0] } );
        const auto value1 = normal.dot(
            brevane::Vector3D{ vertices[0], segment.vertices()[1] } );
        return point_on_segment(
            segment, zero_crossing_parameter( value0, value1 ) );
    }

    brevane::Point2D segment_segment_point( const brevane::Segment2D& segment0,
        const brevane::Segment2D& segment1,
        const std::pair< POSITION, POSITION >& position )
    {
        const auto& [on_segment0, on_segment1] = position;
        if( on_segment0 == POSITION::vertex0 )
        {
            return segment0.vertices()[0];
        }
        if( on_segment0 == POSITION::vertex1 )
        {
            return segment0.vertices()[1];
        }
        if( on_segment1 == POSITION::vertex0 )
        {
            return segment1.vertices()[0];
        }
        if( on_segment1 == POSITION::vertex1 )
        {
            return segment1.vertices()[1];
        }
        // Both inside: the parameter along segment0 where the signed
        // distance to segment1's line vanishes.
        const auto direction1 = segment1.direction();
        const auto side = [&direction1, &segment1](
                              const brevane::Point2D& point )
        {
            const brevane::Vector2D offset{ segment1.vertices()[0], point };
            return direction1.value( 0 ) * offset.value( 1 )
                   - direction1.value( 1 ) * offset.value( 0 );
        };
        return point_on_segment(
            segment0, zero_crossing_parameter( side( segment0.vertices()[0] ),
                          side( segment0.vertices()[1] ) ) );
    }
} // namespace

namespace brevane
{
    IntersectionResult< Point3D > segment_plane_intersection(
        const Segment3D& segment, const Plane& plane )
    {
        if( is_zero( plane.normal() ) )
        {
            return IntersectionResult< Point3D >{
                INTERSECTION_TYPE::incorrect
            };
        }
        const auto& [start, end] = segment.vertices();
        if( point_side_to_plane( end, Plane{ plane.normal(), start } )
            == SIDE::zero )
        {
            return IntersectionResult< Point3D >{ INTERSECTION_TYPE::parallel };
        }
        const auto side0 = point_side_to_plane( start, plane );
        const auto side1 = point_side_to_plane( end, plane );
        if( side0 == side1 )
        {
            return IntersectionResult< Point3D >{ INTERSECTION_TYPE::none };
        }
        if( side0 == SIDE::zero )
        {
            return IntersectionResult< Point3D >{ start };
        }
        if( side1 == SIDE::zero )
        {
            return IntersectionResult< Point3D >{ end };
        }
        const auto& normal = plane.normal();
        const auto value0 = normal.dot( Vector3D{ plane.origin(), start } );
        const auto value1 = normal.dot( Vector3D{ plane.origin(), end } );
        return IntersectionResult< Point3D >{ point_on_segment(
            segment, zero_crossing_parameter( value0, value1 ) ) };
    }

    IntersectionResult< Point3D > line_plane_intersection(
        const InfiniteLine3D& line, const Plane& plane )
    {
        if( is_zero( plane.normal() ) || is_zero( line.direction() ) )
        {
            return IntersectionResult< Point3D >{
                INTERSECTION_TYPE::incorrect
            };
        }
        const Plane through_zero{ plane.normal(), Point3D{} };
        if( point_side_to_plane(
                Point3D{ line.direction().values() }, through_zero )
            == SIDE::zero )
        {
            return IntersectionResult< Point3D >{ INTERSECTION_TYPE::parallel };
        }
        const auto& normal = plane.normal();
        const auto denominator = normal.dot( line.direction() );
        if( denominator == 0 )
        {
            return IntersectionResult< Point3D >{ INTERSECTION_TYPE::parallel };
        }
        const auto parameter =
            normal.dot( Vector3D{ line.origin(), plane.origin() } )
            / denominator;
        return IntersectionResult< Point3D >{ line.origin()
                                              + line.direction() * parameter };
    }

    IntersectionResult< Point3D > segment_triangle_intersection(
        const Segment3D& segment, const Triangle3D& triangle )
    {
        if( is_triangle_degenerate( triangle ) )
        {
            return IntersectionResult< Point3D >{
                INTERSECTION_TYPE::incorrect
            };
        }
        if( point_side_to_triangle( segment.vertices()[0], triangle )
                == SIDE::zero
            && point_side_to_triangle( segment.vertices()[1], triangle )
                   == SIDE::zero )
        {
            return IntersectionResult< Point3D >{ INTERSECTION_TYPE::parallel };
        }
        const auto position =
            segment_triangle_intersection_detection( segment, triangle );
        if( position.second == POSITION::outside )
        {
            return IntersectionResult< Point3D >{ INTERSECTION_TYPE::none };
        }
        return IntersectionResult< Point3D >{ segment_triangle_point(
            segment, triangle, position ) };
    }

    IntersectionResult< Point2D > segment_segment_intersection(
        const Segment2D& segment0, const Segment2D& segment1 )
    {
        const auto position =
            segment_segment_intersection_detection( segment0, segment1 );
        if( position.first == POSITION::outside )
        {
            return IntersectionResult< Point2D >{ INTERSECTION_TYPE::none };
        }
        if( position.first == POSITION::parallel )
        {
            return IntersectionResult< Point2D >{ INTERSECTION_TYPE::parallel };
        }
        return IntersectionResult< Point2D >{ segment_segment_point(
            segment0, segment1, position ) };
    }
} // namespace brevane
