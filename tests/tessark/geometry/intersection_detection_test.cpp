#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <tessark/geometry/intersection_detection.h>

namespace
{
    using namespace brevane;

    Point3D point( double x, double y, double z )
    {
        return Point3D{ { x, y, z } };
    }

    Segment3D segment( const Point3D& p0, const Point3D& p1 )
    {
        return Segment3D{ p0, p1 };
    }

    struct SegmentPlaneCase
    {
        const char* name;
        Segment3D segment;
        POSITION expected;
    };

    TEST( SegmentPlaneIntersectionDetection, gives_every_position )
    {
        // The plane z = 0.3 with a normal that is not a unit vector.
        const Plane plane{ Vector3D{ { 0, 0, -4 } }, point( 0.1, 0.2, 0.3 ) };
        const std::vector< SegmentPlaneCase > cases{
            { "crossing", segment( point( 0, 0, -1 ), point( 1, 1, 1 ) ),
                POSITION::inside },
            { "first end on the plane",
                segment( point( 5, -2, 0.3 ), point( 1, 1, 1 ) ),
                POSITION::vertex0 },
            { "second end on the plane",
                segment( point( 5, -2, -7 ), point( 1e6, 1, 0.3 ) ),
                POSITION::vertex1 },
            { "in the plane",
                segment( point( 5, -2, 0.3 ), point( 1, 1, 0.3 ) ),
                POSITION::parallel },
            { "zero length in the plane",
                segment( point( 5, -2, 0.3 ), point( 5, -2, 0.3 ) ),
                POSITION::parallel },
            { "zero length off the plane",
                segment( point( 5, -2, 0.4 ), point( 5, -2, 0.4 ) ),
                POSITION::outside },
            { "parallel off the plane",
                segment( point( 5, -2, 0.4 ), point( 1, 1, 0.4 ) ),
                POSITION::outside },
            { "above", segment( point( 5, -2, 0.4 ), point( 1, 1, 9 ) ),
                POSITION::outside },
            { "one ulp above the plane",
                segment( point( 5, -2, std::nextafter( 0.3, 1. ) ),
                    point( 1, 1, 9 ) ),
                POSITION::outside },
            { "one ulp below the plane",
                segment( point( 5, -2, std::nextafter( 0.3, 0. ) ),
                    point( 1, 1, 9 ) ),
                POSITION::inside },
        };
        for( const auto& test : cases )
        {
            EXPECT_EQ(
                segment_plane_intersection_detection( test.segment, plane ),
                test.expected )
                << test.name;
        }
    }

    TEST( SegmentPlaneIntersectionDetection, rejects_a_zero_normal )
    {
        const Plane plane{ Vector3D{}, point( 0, 0, 0 ) };
        EXPECT_THROW(
            static_cast< void >( segment_plane_intersection_detection(
                segment( point( 0, 0, -1 ), point( 0, 0, 1 ) ), plane ) ),
            TessarkException );
    }

    struct SegmentTriangleCase
    {
        const char* name;
        Segment3D segment;
        std::pair< POSITION, POSITION > expected;
    };

    TEST( SegmentTriangleIntersectionDetection, gives_every_position )
    {
        // A triangle of the plane z = 1 far from the origin.
        const double x0 = 1e6;
        const double y0 = -2e6;
        const Triangle3D triangle{ point( x0, y0, 1 ), point( x0 + 4, y0, 1 ),
            point( x0, y0 + 4, 1 ) };
        const auto vertical = [&]( double x, double y, double z0, double z1 ) {
            return segment(
                point( x0 + x, y0 + y, z0 ), point( x0 + x, y0 + y, z1 ) );
        };
        const std::vector< SegmentTriangleCase > cases{
            { "through the interior", vertical( 1, 1, 0, 2 ),
                { POSITION::inside, POSITION::inside } },
            { "downwards", vertical( 1, 1, 2, 0 ),
                { POSITION::inside, POSITION::inside } },
            { "through edge 0", vertical( 2, 0, 0, 2 ),
                { POSITION::inside, POSITION::edge0 } },
            { "through edge 1", vertical( 2, 2, 0, 2 ),
                { POSITION::inside, POSITION::edge1 } },
            { "through edge 2", vertical( 0, 3, 0, 2 ),
                { POSITION::inside, POSITION::edge2 } },
            { "through vertex 0", vertical( 0, 0, 0, 2 ),
                { POSITION::inside, POSITION::vertex0 } },
            { "through vertex 1", vertical( 4, 0, 0, 2 ),
                { POSITION::inside, POSITION::vertex1 } },
            { "through vertex 2", vertical( 0, 4, 0, 2 ),
                { POSITION::inside, POSITION::vertex2 } },
            { "ending on the interior", vertical( 1, 1, 0, 1 ),
                { POSITION::vertex1, POSITION::inside } },
            { "starting on edge 1", vertical( 1, 3, 1, 5 ),
                { POSITION::vertex0, POSITION::edge1 } },
            { "ending on vertex 2", vertical( 0, 4, -3, 1 ),
                { POSITION::vertex1, POSITION::vertex2 } },
            { "beside the triangle", vertical( 3, 3, 0, 2 ),
                { POSITION::outside, POSITION::outside } },
            { "short of the plane", vertical( 1, 1, 0, 0.5 ),
                { POSITION::outside, POSITION::outside } },
            { "slanted through the interior",
                segment(
                    point( x0 - 1, y0 - 1, -1 ), point( x0 + 3, y0 + 3, 3 ) ),
                { POSITION::inside, POSITION::inside } },
            { "slanted through edge 1",
                segment(
                    point( x0 - 2, y0 - 2, -3 ), point( x0 + 6, y0 + 6, 5 ) ),
                { POSITION::inside, POSITION::edge1 } },
            { "lying in the plane across",
                segment(
                    point( x0 - 1, y0 + 1, 1 ), point( x0 + 9, y0 + 1, 1 ) ),
                { POSITION::parallel, POSITION::parallel } },
            { "lying in the plane inside",
                segment(
                    point( x0 + 1, y0 + 1, 1 ), point( x0 + 1, y0 + 2, 1 ) ),
                { POSITION::parallel, POSITION::parallel } },
            { "lying in the plane, touching vertex 1",
                segment( point( x0 + 4, y0, 1 ), point( x0 + 6, y0 + 1, 1 ) ),
                { POSITION::parallel, POSITION::parallel } },
            { "lying in the plane outside",
                segment(
                    point( x0 + 3, y0 + 3, 1 ), point( x0 + 9, y0 + 1, 1 ) ),
                { POSITION::outside, POSITION::outside } },
            { "point in the triangle", vertical( 1, 1, 1, 1 ),
                { POSITION::parallel, POSITION::parallel } },
            { "point off the plane", vertical( 1, 1, 2, 2 ),
                { POSITION::outside, POSITION::outside } },
            { "parallel above",
                segment(
                    point( x0 - 1, y0 + 1, 2 ), point( x0 + 9, y0 + 1, 2 ) ),
                { POSITION::outside, POSITION::outside } },
        };
        for( const auto& test : cases )
        {
            EXPECT_EQ( segment_triangle_intersection_detection(
                           test.segment, triangle ),
                test.expected )
                << test.name;
        }
    }

    TEST( SegmentTriangleIntersectionDetection,
        degenerate_triangles_are_never_met )
    {
        const auto a = point( 0.1, 0.2, 0.3 );
        const auto twice = point( 0.2, 0.4, 0.6 );
        const auto origin = point( 0, 0, 0 );
        const auto through =
            segment( point( 0.1, 0.2, -1 ), point( 0.1, 0.2, 1 ) );
        EXPECT_EQ( segment_triangle_intersection_detection(
                       through, Triangle3D{ origin, a, twice } ),
            std::make_pair( POSITION::outside, POSITION::outside ) );
        EXPECT_EQ( segment_triangle_intersection_detection(
                       through, Triangle3D{ a, a, a } ),
            std::make_pair( POSITION::outside, POSITION::outside ) );
    }

    // Exact reference on small integer coordinates: the crossing point of
    // the segment with the triangle's plane, scaled to integers, is located
    // with the signed areas of the three sub-triangles (a method
    // independent from the one under test).
    using Integers = std::array< std::int64_t, 3 >;

    Integers difference( const Integers& from, const Integers& to )
    {
        return { to[0] - from[0], to[1] - from[1], to[2] - from[2] };
    }

    Integers cross( const Integers& u, const Integers& v )
    {
        return { u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
            u[0] * v[1] - u[1] * v[0] };
    }

    std::int64_t dot( const Integers& u, const Integers& v )
    {
        return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    }

    int sign( std::int64_t value )
    {
        return ( value > 0 ) - ( value < 0 );
    }

    std::pair< POSITION, POSITION > reference_detection(
        const std::array< Integers, 2 >& ends,
        const std::array< Integers, 3 >& corners )
    {
        const auto normal = cross( difference( corners[0], corners[1] ),
            difference( corners[0], corners[2] ) );
        const auto value0 = dot( normal, difference( corners[0], ends[0] ) );
        const auto value1 = dot( normal, difference( corners[0], ends[1] ) );
        if( sign( value0 ) * sign( value1 ) > 0
            || ( value0 == 0 && value1 == 0 ) )
        {
            return { POSITION::outside, POSITION::outside };
        }
        // crossing = ( value0 * end1 - value1 * end0 ) / ( value0 - value1 )
        const auto scale = value0 - value1;
        Integers crossing;
        for( std::size_t axis = 0; axis < 3; axis++ )
        {
            crossing[axis] = value0 * ends[1][axis] - value1 * ends[0][axis];
        }
        std::array< int, 3 > edge_signs;
        int nb_zeros{ 0 };
        for( std::size_t edge = 0; edge < 3; edge++ )
        {
            const auto& start = corners[edge];
            const auto& end = corners[( edge + 1 ) % 3];
            Integers scaled_offset;
            for( std::size_t axis = 0; axis < 3; axis++ )
            {
                scaled_offset[axis] = crossing[axis] - scale * start[axis];
            }
            edge_signs[edge] =
                sign( scale )
                * sign( dot( cross( difference( start, end ), scaled_offset ),
                    normal ) );
            nb_zeros += edge_signs[edge] == 0;
            if( edge_signs[edge] < 0 )
            {
                return { POSITION::outside, POSITION::outside };
            }
        }
        const auto on_segment = value0 == 0   ? POSITION::vertex0
                                : value1 == 0 ? POSITION::vertex1
                                              : POSITION::inside;
        if( nb_zeros == 0 )
        {
            return { on_segment, POSITION::inside };
        }
        for( std::uint8_t edge = 0; edge < 3; edge++ )
        {
            if( edge_signs[edge] != 0 )
            {
                continue;
            }
            if( nb_zeros == 1 )
            {
                return { on_segment, static_cast< POSITION >( 5 + edge ) };
            }
            const auto next = ( edge + 1 ) % 3;
            if( edge_signs[next] == 0 )
            {
                return { on_segment, static_cast< POSITION >( 2 + next ) };
            }
        }
        return { POSITION::outside, POSITION::outside };
    }

    Point3D to_point( const Integers& integers, double offset )
    {
        return point( integers[0] + offset, integers[1] - offset,
            integers[2] + 0.5 * offset );
    }

    TEST( SegmentTriangleIntersectionDetection, matches_an_exact_reference )
    {
        std::mt19937_64 engine{ 11 };
        std::uniform_int_distribution< int > coordinate{ -3, 3 };
        const auto random_integers = [&]()
        {
            return Integers{ coordinate( engine ), coordinate( engine ),
                coordinate( engine ) };
        };
        std::array< int, 9 > nb_by_triangle_position{};
        for( int iteration = 0; iteration < 50000; iteration++ )
        {
            const std::array< Integers, 3 > corners{ random_integers(),
                random_integers(), random_integers() };
            if( cross( difference( corners[0], corners[1] ),
                    difference( corners[0], corners[2] ) )
                == Integers{ 0, 0, 0 } )
            {
                continue;
            }
            const std::array< Integers, 2 > ends{ random_integers(),
                random_integers() };
            const auto expected = reference_detection( ends, corners );
            // Far from the origin, on coordinates still represented exactly.
            const double offset = 1048576;
            const Triangle3D triangle{ to_point( corners[0], offset ),
                to_point( corners[1], offset ),
                to_point( corners[2], offset ) };
            const auto result = segment_triangle_intersection_detection(
                segment(
                    to_point( ends[0], offset ), to_point( ends[1], offset ) ),
                triangle );
            const bool coplanar = result.first == POSITION::parallel;
            if( coplanar )
            {
                EXPECT_EQ( expected.first, POSITION::outside );
                continue;
            }
            ASSERT_EQ( result, expected ) << iteration;
            nb_by_triangle_position[static_cast< int >( expected.second )]++;
        }
        // Every position on the triangle occurs in the sample.
        for( int position = 0; position < 8; position++ )
        {
            EXPECT_GT( nb_by_triangle_position[position], 0 ) << position;
        }
    }

    TEST( SegmentSegmentIntersectionDetection, gives_every_position )
    {
        const auto segment2 = []( double x0, double y0, double x1, double y1 ) {
            return Segment2D{ Point2D{ { x0, y0 } }, Point2D{ { x1, y1 } } };
        };
        struct Case
        {
            const char* name;
            Segment2D segment0;
            Segment2D segment1;
            std::pair< POSITION, POSITION > expected;
        };
        const std::vector< Case > cases{
            { "crossing", segment2( 0, 0, 2, 2 ), segment2( 0, 2, 2, 0 ),
                { POSITION::inside, POSITION::inside } },
            { "T junction", segment2( 0, 0, 2, 0 ), segment2( 1, 0, 1, 5 ),
                { POSITION::inside, POSITION::vertex0 } },
            { "T junction reversed", segment2( 1, 5, 1, 0 ),
                segment2( 0, 0, 2, 0 ),
                { POSITION::vertex1, POSITION::inside } },
            { "shared end", segment2( 0, 0, 2, 0 ), segment2( 3, 3, 2, 0 ),
                { POSITION::vertex1, POSITION::vertex1 } },
            { "collinear touching", segment2( 0, 0, 2, 0 ),
                segment2( 2, 0, 5, 0 ),
                { POSITION::vertex1, POSITION::vertex0 } },
            { "collinear overlapping", segment2( 0, 0, 2, 0 ),
                segment2( 1, 0, 5, 0 ),
                { POSITION::parallel, POSITION::parallel } },
            { "collinear disjoint", segment2( 0, 0, 2, 0 ),
                segment2( 3, 0, 5, 0 ),
                { POSITION::outside, POSITION::outside } },
            { "point inside", segment2( 1, 0, 1, 0 ), segment2( 0, 0, 2, 0 ),
                { POSITION::vertex0, POSITION::inside } },
            { "point at an end", segment2( 0, 0, 2, 0 ), segment2( 2, 0, 2, 0 ),
                { POSITION::vertex1, POSITION::vertex0 } },
            { "same points", segment2( 1, 1, 1, 1 ), segment2( 1, 1, 1, 1 ),
                { POSITION::vertex0, POSITION::vertex0 } },
            { "disjoint", segment2( 0, 0, 2, 0 ), segment2( 0, 1, 2, 3 ),
                { POSITION::outside, POSITION::outside } },
            { "lines crossing outside", segment2( 0, 0, 2, 0 ),
                segment2( 3, -1, 3, 1 ),
                { POSITION::outside, POSITION::outside } },
        };
        for( const auto& test : cases )
        {
            EXPECT_EQ( segment_segment_intersection_detection(
                           test.segment0, test.segment1 ),
                test.expected )
                << test.name;
            const auto swapped =
                std::make_pair( test.expected.second, test.expected.first );
            EXPECT_EQ( segment_segment_intersection_detection(
                           test.segment1, test.segment0 ),
                swapped )
                << test.name;
        }
    }
} // namespace
