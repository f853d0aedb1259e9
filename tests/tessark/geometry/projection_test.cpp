#include <vector>

#include <gtest/gtest.h>

#include <tessark/geometry/distance.h>
#include <tessark/geometry/projection.h>

#include "support/geometry_checks.h"

namespace
{
    using namespace brevane;
    using test::point;

    struct SegmentProjectionCase
    {
        const char* name;
        Point3D point;
        Point3D projection;
    };

    TEST( PointSegmentProjection, clamps_to_the_ends_exactly )
    {
        // Decimal end points: the ends must come back exactly, not as
        // start + 1 * direction.
        const Segment3D segment{ point( 0.1, 0.2, 0.3 ),
            point( 0.7, -0.9, 1.3 ) };
        const std::vector< SegmentProjectionCase > cases{
            { "before the start", point( -5, 0.2, 0.3 ),
                segment.vertices()[0] },
            { "after the end", point( 5.7, -10.9, 6.3 ),
                segment.vertices()[1] },
            { "on the start", segment.vertices()[0], segment.vertices()[0] },
            { "on the end", segment.vertices()[1], segment.vertices()[1] },
        };
        for( const auto& test : cases )
        {
            EXPECT_EQ( point_segment_projection( test.point, segment ),
                test.projection )
                << test.name;
        }
        const auto middle = segment.barycenter();
        const auto projection = point_segment_projection( middle, segment );
        EXPECT_LT( point_point_distance( projection, middle ), 1e-15 );
    }

    TEST( PointSegmentProjection, projects_orthogonally_inside )
    {
        const Segment2D segment{ Point2D{ { 1, 1 } }, Point2D{ { 5, 1 } } };
        const auto projection =
            point_segment_projection( Point2D{ { 2.5, -7 } }, segment );
        EXPECT_DOUBLE_EQ( projection.value( 0 ), 2.5 );
        EXPECT_DOUBLE_EQ( projection.value( 1 ), 1 );
        const Segment2D single{ Point2D{ { 3, 4 } }, Point2D{ { 3, 4 } } };
        EXPECT_EQ( point_segment_projection( Point2D{ { 0, 0 } }, single ),
            ( Point2D{ { 3, 4 } } ) );
    }

    TEST( PointLineProjection, is_not_clamped )
    {
        const InfiniteLine< 2 > line{ Vector2D{ { 2, 2 } },
            Point2D{ { 1, 0 } } };
        const auto projection =
            point_line_projection( Point2D{ { -4, -3 } }, line );
        EXPECT_DOUBLE_EQ( projection.value( 0 ), -3 );
        EXPECT_DOUBLE_EQ( projection.value( 1 ), -4 );
        const InfiniteLine3D line3{ Vector3D{ { 0, 0, 1 } }, point( 1, 2, 3 ) };
        EXPECT_EQ( point_line_projection( point( 5, 5, -8 ), line3 ),
            point( 1, 2, -8 ) );
        EXPECT_THROW(
            static_cast< void >( point_line_projection( point( 0, 0, 0 ),
                InfiniteLine3D{ Vector3D{}, point( 1, 1, 1 ) } ) ),
            TessarkException );
    }

    TEST( PointPlaneProjection, lands_on_the_plane_along_the_normal )
    {
        const Plane plane{ Vector3D{ { 1, -2, 0.5 } },
            point( 1e3, 0.1, -0.7 ) };
        const auto query = point( 3.3, 17, -2 );
        const auto projection = point_plane_projection( query, plane );
        EXPECT_NEAR(
            point_plane_signed_distance( projection, plane ), 0, 1e-12 );
        const Vector3D move{ query, projection };
        EXPECT_NEAR( move.cross( plane.normal() ).length(), 0, 1e-9 );
        EXPECT_NEAR(
            move.length(), point_plane_distance( query, plane ), 1e-9 );
        EXPECT_THROW( static_cast< void >( point_plane_projection(
                          query, Plane{ Vector3D{}, point( 0, 0, 0 ) } ) ),
            TessarkException );
    }
} // namespace
