#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <tessark/geometry/barycentric_coordinates.h>
#include <tessark/geometry/distance.h>

#include "support/geometry_checks.h"

namespace
{
    using namespace brevane;
    using test::point;
    using test::expect_near;

    TEST( PointPointDistance, in_the_plane_and_in_space )
    {
        EXPECT_DOUBLE_EQ(
            point_point_distance( Point2D{ { 1, 1 } }, Point2D{ { 4, 5 } } ),
            5 );
        EXPECT_DOUBLE_EQ(
            point_point_distance( point( 1, 2, 3 ), point( 3, 5, 9 ) ), 7 );
        EXPECT_EQ(
            point_point_distance( point( 1, 2, 3 ), point( 1, 2, 3 ) ), 0 );
    }

    struct PointSegmentCase
    {
        const char* name;
        Point2D point;
        Segment2D segment;
        double distance;
    };

    TEST( PointSegmentDistance, measures_to_the_nearest_point_of_the_segment )
    {
        const Segment2D segment{ Point2D{ { 0, 0 } }, Point2D{ { 4, 0 } } };
        const std::vector< PointSegmentCase > cases{
            { "beside", Point2D{ { 1, 3 } }, segment, 3 },
            { "before the start", Point2D{ { -3, 4 } }, segment, 5 },
            { "after the end", Point2D{ { 7, -4 } }, segment, 5 },
            { "on the segment", Point2D{ { 2.5, 0 } }, segment, 0 },
            { "zero length", Point2D{ { 4, 3 } },
                Segment2D{ Point2D{ { 0, 0 } }, Point2D{ { 0, 0 } } }, 5 },
            { "far from the origin", Point2D{ { 1e6 + 1, 1e6 + 1e-6 } },
                Segment2D{
                    Point2D{ { 1e6, 1e6 } }, Point2D{ { 1e6 + 4, 1e6 } } },
                ( 1e6 + 1e-6 ) - 1e6 },
        };
        for( const auto& test : cases )
        {
            EXPECT_NEAR( point_segment_distance( test.point, test.segment ),
                test.distance, 1e-15 * ( 1 + test.distance ) )
                << test.name;
        }
        EXPECT_DOUBLE_EQ( point_segment_distance( point( 1, 5, 2 ),
                              Segment3D{ point( 0, 0, 2 ), point( 3, 0, 2 ) } ),
            5 );
    }

    TEST( PointLineDistance, ignores_the_line_origin_and_direction_length )
    {
        const InfiniteLine3D line{ Vector3D{ { 0, 0, 5 } },
            point( 1, 1, 100 ) };
        EXPECT_DOUBLE_EQ( point_line_distance( point( 4, 5, -7 ), line ), 5 );
        EXPECT_DOUBLE_EQ( point_line_distance( Point2D{ { 3, 4 } },
                              InfiniteLine< 2 >{ Vector2D{ { 1, -1 } },
                                  Point2D{ { 0, 0 } } } ),
            std::sqrt( 0.5 ) * 7 );
        EXPECT_THROW(
            static_cast< void >( point_line_distance( point( 0, 0, 0 ),
                InfiniteLine3D{ Vector3D{}, point( 1, 1, 1 ) } ) ),
            TessarkException );
    }

    struct SegmentLineCase
    {
        const char* name;
        Segment3D segment;
        double distance;
        Point3D segment_point;
        Point3D line_point;
    };

    TEST( SegmentLineDistance, gives_the_nearest_points )
    {
        // The x axis, given with a far origin and a long direction.
        const InfiniteLine3D line{ Vector3D{ { -3, 0, 0 } },
            point( 50, 0, 0 ) };
        const std::vector< SegmentLineCase > cases{
            { "skew, nearest inside",
                Segment3D{ point( 2, -1, 3 ), point( 2, 1, 3 ) }, 3,
                point( 2, 0, 3 ), point( 2, 0, 0 ) },
            { "skew, nearest at the start",
                Segment3D{ point( 5, 1, 2 ), point( 5, 3, 2 ) },
                std::sqrt( 5. ), point( 5, 1, 2 ), point( 5, 0, 0 ) },
            { "skew, nearest at the end",
                Segment3D{ point( 5, -3, 2 ), point( 6, -1, 2 ) },
                std::sqrt( 5. ), point( 6, -1, 2 ), point( 6, 0, 0 ) },
            { "crossing the line",
                Segment3D{ point( 7, -1, -1 ), point( 9, 1, 1 ) }, 0,
                point( 8, 0, 0 ), point( 8, 0, 0 ) },
            { "parallel", Segment3D{ point( 1, 3, 4 ), point( 9, 3, 4 ) }, 5,
                point( 1, 3, 4 ), point( 1, 0, 0 ) },
            { "zero length", Segment3D{ point( -2, 0, 7 ), point( -2, 0, 7 ) },
                7, point( -2, 0, 7 ), point( -2, 0, 0 ) },
            { "along the line", Segment3D{ point( 1, 0, 0 ), point( 3, 0, 0 ) },
                0, point( 1, 0, 0 ), point( 1, 0, 0 ) },
        };
        for( const auto& test : cases )
        {
            const auto [distance, segment_point, line_point] =
                segment_line_distance( test.segment, line );
            EXPECT_NEAR( distance, test.distance, 1e-14 ) << test.name;
            expect_near( segment_point, test.segment_point, 1e-14 );
            expect_near( line_point, test.line_point, 1e-14 );
        }
        EXPECT_THROW( static_cast< void >( segment_line_distance(
                          Segment3D{ point( 0, 0, 0 ), point( 1, 1, 1 ) },
                          InfiniteLine3D{ Vector3D{}, point( 0, 0, 0 ) } ) ),
            TessarkException );
    }

    TEST( SegmentLineDistance, matches_a_sampled_minimum )
    {
        std::mt19937_64 engine{ 23 };
        std::uniform_real_distribution< double > coordinate{ -10, 10 };
        const auto random_point = [&]()
        {
            return point( coordinate( engine ), coordinate( engine ),
                coordinate( engine ) );
        };
        constexpr int nb_samples = 2000;
        for( int iteration = 0; iteration < 300; iteration++ )
        {
            const Segment3D segment{ random_point(), random_point() };
            const InfiniteLine3D line{ Vector3D{ random_point().values() },
                random_point() };
            const auto [distance, segment_point, line_point] =
                segment_line_distance( segment, line );
            double sampled{ std::numeric_limits< double >::max() };
            for( int sample = 0; sample <= nb_samples; sample++ )
            {
                const auto on_segment =
                    segment.vertices()[0]
                    + segment.direction() * ( sample / double( nb_samples ) );
                sampled = std::min(
                    sampled, point_line_distance( on_segment, line ) );
            }
            EXPECT_LE( distance, sampled + 1e-9 );
            EXPECT_GE( distance, sampled - segment.length() / nb_samples );
            EXPECT_NEAR( point_point_distance( segment_point, line_point ),
                distance, 1e-12 );
            EXPECT_LT( point_segment_distance( segment_point, segment ), 1e-9 );
            EXPECT_LT( point_line_distance( line_point, line ), 1e-9 );
        }
    }

    struct PointTriangleCase
    {
        const char* name;
        Point3D point;
        double distance;
        Point3D nearest;
    };

    TEST( PointTriangleDistance, finds_the_nearest_point_of_each_region )
    {
        const Triangle3D triangle{ point( 0, 0, 0 ), point( 4, 0, 0 ),
            point( 0, 4, 0 ) };
        const std::vector< PointTriangleCase > cases{
            { "above the interior", point( 1, 1, 3 ), 3, point( 1, 1, 0 ) },
            { "below the interior", point( 1, 2, -2 ), 2, point( 1, 2, 0 ) },
            { "in the interior", point( 1, 1, 0 ), 0, point( 1, 1, 0 ) },
            { "beyond edge 0", point( 2, -3, 4 ), 5, point( 2, 0, 0 ) },
            { "beyond edge 1", point( 3, 3, 0 ), std::sqrt( 2. ),
                point( 2, 2, 0 ) },
            { "beyond edge 2", point( -1, 1, 0 ), 1, point( 0, 1, 0 ) },
            { "beyond vertex 0", point( -3, -4, 0 ), 5, point( 0, 0, 0 ) },
            { "beyond vertex 1", point( 7, -4, 0 ), 5, point( 4, 0, 0 ) },
            { "above vertex 2", point( 0, 4, 1 ), 1, point( 0, 4, 0 ) },
        };
        for( const auto& test : cases )
        {
            const auto [distance, nearest] =
                point_triangle_distance( test.point, triangle );
            EXPECT_NEAR( distance, test.distance, 1e-14 ) << test.name;
            expect_near( nearest, test.nearest, 1e-14 );
        }
    }

    TEST( PointTriangleDistance, degenerate_triangles_are_their_edges )
    {
        const Triangle3D collinear{ point( 0, 0, 0 ), point( 1, 0, 0 ),
            point( 3, 0, 0 ) };
        const auto [distance, nearest] =
            point_triangle_distance( point( 2, 3, 4 ), collinear );
        EXPECT_DOUBLE_EQ( distance, 5 );
        expect_near( nearest, point( 2, 0, 0 ), 1e-15 );
        const Triangle3D single{ point( 1, 1, 1 ), point( 1, 1, 1 ),
            point( 1, 1, 1 ) };
        EXPECT_DOUBLE_EQ( std::get< 0 >( point_triangle_distance(
                              point( 1, 1, 3 ), single ) ),
            2 );
    }

    TEST( PointTriangleDistance, matches_a_sampled_minimum )
    {
        std::mt19937_64 engine{ 31 };
        std::uniform_real_distribution< double > coordinate{ -5, 5 };
        const auto random_point = [&]()
        {
            return point( coordinate( engine ), coordinate( engine ),
                coordinate( engine ) );
        };
        constexpr int nb_steps = 150;
        for( int iteration = 0; iteration < 100; iteration++ )
        {
            const Triangle3D triangle{ random_point(), random_point(),
                random_point() };
            const auto query = random_point();
            const auto [distance, nearest] =
                point_triangle_distance( query, triangle );
            const auto& [v0, v1, v2] = triangle.vertices();
            double sampled{ std::numeric_limits< double >::max() };
            for( int i = 0; i <= nb_steps; i++ )
            {
                for( int j = 0; i + j <= nb_steps; j++ )
                {
                    const auto sample =
                        v0 + Vector3D{ v0, v1 } * ( i / double( nb_steps ) )
                        + Vector3D{ v0, v2 } * ( j / double( nb_steps ) );
                    sampled = std::min(
                        sampled, point_point_distance( query, sample ) );
                }
            }
            double diameter{ 0 };
            for( const auto& [start, end] : { std::pair{ v0, v1 },
                     std::pair{ v1, v2 }, std::pair{ v2, v0 } } )
            {
                diameter =
                    std::max( diameter, point_point_distance( start, end ) );
            }
            EXPECT_LE( distance, sampled + 1e-12 );
            EXPECT_GE( distance, sampled - 2 * diameter / nb_steps );
            EXPECT_NEAR(
                point_point_distance( query, nearest ), distance, 1e-12 );
            const auto weights =
                triangle_barycentric_coordinates( nearest, triangle );
            for( const auto weight : weights )
            {
                EXPECT_GE( weight, -1e-9 );
            }
        }
    }

    TEST( PointPlaneDistance, is_signed_along_the_normal )
    {
        const Plane plane{ Vector3D{ { 0, 3, 4 } }, point( 1, 1, 1 ) };
        EXPECT_DOUBLE_EQ(
            point_plane_signed_distance( point( 7, 1 + 3, 1 + 4 ), plane ), 5 );
        EXPECT_DOUBLE_EQ(
            point_plane_signed_distance( point( -2, 1 - 6, 1 - 8 ), plane ),
            -10 );
        EXPECT_DOUBLE_EQ(
            point_plane_distance( point( -2, 1 - 6, 1 - 8 ), plane ), 10 );
        EXPECT_EQ( point_plane_distance( point( 9, 1 + 4, 1 - 3 ), plane ), 0 );
        EXPECT_THROW(
            static_cast< void >( point_plane_distance(
                point( 0, 0, 0 ), Plane{ Vector3D{}, point( 0, 0, 0 ) } ) ),
            TessarkException );
    }
} // namespace
