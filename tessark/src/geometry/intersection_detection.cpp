#include <tessark/geometry/intersection_detection.h>

#include <algorithm>
#include <array>

#include <tessark/geometry/predicates.h>

namespace
{
    using brevane::POSITION;
    using brevane::SIDE;

    constexpr std::pair< POSITION, POSITION > NO_INTERSECTION{
        POSITION::outside, POSITION::outside
    };

    bool is_zero( const brevane::Vector3D& vector )
    {
        return vector.value( 0 ) == 0 && vector.value( 1 ) == 0
               && vector.value( 2 ) == 0;
    }

    // Where on the segment a transversal object meets it, given the exact
    // sides of its two ends (not both zero).
    POSITION position_on_segment( SIDE side0, SIDE side1 )
    {
        if( side0 == SIDE::zero )
        {
            return POSITION::vertex0;
        }
        if( side1 == SIDE::zero )
        {
            return POSITION::vertex1;
        }
        return POSITION::inside;
    }

    POSITION triangle_vertex( brevane::local_index_t vertex )
    {
        return static_cast< POSITION >(
            static_cast< std::uint8_t >( POSITION::vertex0 ) + vertex );
    }

    POSITION triangle_edge( brevane::local_index_t edge )
    {
        return static_cast< POSITION >(
            static_cast< std::uint8_t >( POSITION::edge0 ) + edge );
    }

    // Where on the triangle the line through the segment meets it, the line
    // being transversal to the triangle's plane. orientation_3d( s0, s1, a,
    // b ) is the side of the line relative to the edge ab; the three signs
    // agree (or vanish) exactly when the line goes through the closed
    // triangle, and a zero sign puts the meeting point on that edge's line.
    POSITION transversal_position_on_triangle(
        const brevane::Segment3D& segment, const brevane::Triangle3D& triangle )
    {
        const auto& [s0, s1] = segment.vertices();
        const auto& vertices = triangle.vertices();
        std::array< SIDE, 3 > edge_sides;
        bool has_positive{ false };
        bool has_negative{ false };
        for( brevane::local_index_t edge = 0; edge < 3; edge++ )
        {
            edge_sides[edge] = brevane::orientation_3d(
                s0, s1, vertices[edge], vertices[( edge + 1 ) % 3] );
            has_positive |= edge_sides[edge] == SIDE::positive;
            has_negative |= edge_sides[edge] == SIDE::negative;
        }
        if( has_positive && has_negative )
        {
            return POSITION::outside;
        }
        const auto nb_zeros =
            std::count( edge_sides.begin(), edge_sides.end(), SIDE::zero );
        if( nb_zeros == 0 )
        {
            return POSITION::inside;
        }
        for( brevane::local_index_t edge = 0; edge < 3; edge++ )
        {
            if( edge_sides[edge] != SIDE::zero )
            {
                continue;
            }
            if( nb_zeros == 1 )
            {
                return triangle_edge( edge );
            }
            // Two edge lines meet at their common vertex: edges N and N + 1
            // share vertex N + 1.
            const auto next =
                static_cast< brevane::local_index_t >( ( edge + 1 ) % 3 );
            if( edge_sides[next] == SIDE::zero )
            {
                return triangle_vertex( next );
            }
        }
        // Three zero signs need a degenerate triangle or segment, both
        // excluded by the callers.
        return POSITION::outside;
    }

    // Exact test of a point against a closed 2D triangle of known orientation
    // (not zero).
    bool triangle_contains( const std::array< brevane::Point2D, 3 >& triangle,
        SIDE orientation,
        const brevane::Point2D& point )
    {
        for( brevane::local_index_t edge = 0; edge < 3; edge++ )
        {
            const auto side = brevane::orientation_2d(
                triangle[edge], triangle[( edge + 1 ) % 3], point );
            if( side != SIDE::zero && side != orientation )
            {
                return false;
            }
        }
        return true;
    }

    // Segment and triangle lying in one plane: the test runs in the
    // projection along an axis the triangle is not parallel to, where it
    // stays a proper triangle, so that meeting in the projection is meeting
    // in space.
    bool coplanar_segment_meets_triangle(
        const brevane::Segment3D& segment, const brevane::Triangle3D& triangle )
    {
        const auto& vertices = triangle.vertices();
        for( brevane::local_index_t axis = 0; axis < 3; axis++ )
        {
            const std::array< brevane::Point2D, 3 > projected{
                vertices[0].project_point( axis ),
                vertices[1].project_point( axis ),
                vertices[2].project_point( axis )
            };
            const auto orientation = brevane::orientation_2d(
                projected[0], projected[1], projected[2] );
            if( orientation == SIDE::zero )
            {
                continue;
            }
            const brevane::Segment2D projected_segment{
                segment.vertices()[0].project_point( axis ),
                segment.vertices()[1].project_point( axis )
            };
            for( const auto& end : projected_segment.vertices() )
            {
                if( triangle_contains( projected, orientation, end ) )
                {
                    return true;
                }
            }
            for( brevane::local_index_t edge = 0; edge < 3; edge++ )
            {
                if( brevane::segments_cross( projected_segment,
                        { projected[edge], projected[( edge + 1 ) % 3] } ) )
                {
                    return true;
                }
            }
            return false;
        }
        return false;
    }

    // Position on a segment of a point known to lie on it.
    POSITION position_of_point_on_segment(
        const brevane::Point2D& point, const brevane::Segment2D& segment )
    {
        if( point == segment.vertices()[0] )
        {
            return POSITION::vertex0;
        }
        if( point == segment.vertices()[1] )
        {
            return POSITION::vertex1;
        }
        return POSITION::inside;
    }

    // Collinear segments: along their common line the lexicographic order of
    // points is their order along the line, so the common part is the range
    // between the larger of the two minima and the smaller of the maxima.
    std::pair< POSITION, POSITION > collinear_segments_detection(
        const brevane::Segment2D& segment0, const brevane::Segment2D& segment1 )
    {
        const auto& [a0, a1] = segment0.vertices();
        const auto& [b0, b1] = segment1.vertices();
        const auto& low = std::max( std::min( a0, a1 ), std::min( b0, b1 ) );
        const auto& high = std::min( std::max( a0, a1 ), std::max( b0, b1 ) );
        if( high < low )
        {
            return NO_INTERSECTION;
        }
        if( low == high )
        {
            return { position_of_point_on_segment( low, segment0 ),
                position_of_point_on_segment( low, segment1 ) };
        }
        return { POSITION::parallel, POSITION::parallel };
    }
} // namespace

namespace brevane
{
    POSITION segment_plane_intersection_detection(
        const Segment3D& segment, const Plane& plane )
    {
        TESSARK_EXCEPTION( !is_zero( plane.normal() ),
            "[segment_plane_intersection_detection] Plane normal is zero "
            "(plane origin ",
            plane.origin().string(), ")" );
        const auto side0 = point_side_to_plane( segment.vertices()[0], plane );
        const auto side1 = point_side_to_plane( segment.vertices()[1], plane );
        if( side0 == SIDE::zero && side1 == SIDE::zero )
        {
            return POSITION::parallel;
        }
        if( side0 == side1 )
        {
            return POSITION::outside;
        }
        return position_on_segment( side0, side1 );
    }

    std::pair< POSITION, POSITION > segment_triangle_intersection_detection(
        const Segment3D& segment, const Triangle3D& triangle )
    {
        if( is_triangle_degenerate( triangle ) )
        {
            return NO_INTERSECTION;
        }
        const auto side0 =
            point_side_to_triangle( segment.vertices()[0], triangle );
        const auto side1 =
            point_side_to_triangle( segment.vertices()[1], triangle );
        if( side0 == SIDE::zero && side1 == SIDE::zero )
        {
            if( coplanar_segment_meets_triangle( segment, triangle ) )
            {
                return { POSITION::parallel, POSITION::parallel };
            }
            return NO_INTERSECTION;
        }
        if( side0 == side1 )
        {
            return NO_INTERSECTION;
        }
        const auto on_triangle =
            transversal_position_on_triangle( segment, triangle );
        if( on_triangle == POSITION::outside )
        {
            return NO_INTERSECTION;
        }
        return { position_on_segment( side0, side1 ), on_triangle };
    }

    std::pair< POSITION, POSITION > segment_segment_intersection_detection(
        const Segment2D& segment0, const Segment2D& segment1 )
    {
        const auto& [a0, a1] = segment0.vertices();
        const auto& [b0, b1] = segment1.vertices();
        const auto b0_side = orientation_2d( a0, a1, b0 );
        const auto b1_side = orientation_2d( a0, a1, b1 );
        if( b0_side != SIDE::zero && b0_side == b1_side )
        {
            return NO_INTERSECTION;
        }
        const auto a0_side = orientation_2d( b0, b1, a0 );
        const auto a1_side = orientation_2d( b0, b1, a1 );
        if( a0_side != SIDE::zero && a0_side == a1_side )
        {
            return NO_INTERSECTION;
        }
        if( b0_side == SIDE::zero && b1_side == SIDE::zero
            && a0_side == SIDE::zero && a1_side == SIDE::zero )
        {
            return collinear_segments_detection( segment0, segment1 );
        }
        return { position_on_segment( a0_side, a1_side ),
            position_on_segment( b0_side, b1_side ) };
    }
} // namespace brevane
