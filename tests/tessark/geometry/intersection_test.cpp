#include <array>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <tessark/geometry/distance.h>
#include <tessark/geometry/intersection.h>
#include <tessark/geometry/intersection_detection.h>
#include <tessark/geometry/predicates.h>

#include "support/geometry_checks.h"

namespace
{
    using namespace brevane;
    using test::point;
    using test::expect_near;

    TEST( IntersectionResult, knows_whether_a_point_was_found )
    {
        const IntersectionResult< Point3D > none;
        EXPECT_FALSE( none.has_intersection() );
        EXPECT_EQ( none.type, INTERSECTION_TYPE::none );
        const IntersectionResult< Point3D > found{ point( 1, 2, 3 ) };
        EXPECT_TRUE( found.has_intersection() );
        EXPECT_EQ( found.type, INTERSECTION_TYPE::intersect );
        const IntersectionResult< Point3D > parallel{
            INTERSECTION_TYPE::parallel
        };
        EXPECT_FALSE( parallel.has_intersection() );
        EXPECT_THROW(
            IntersectionResult< Point3D >{ INTERSECTION_TYPE::intersect },
            TessarkException );
    }

    struct SegmentPlaneCase
    {
        const char* name;
        Segment3D segment;
        INTERSECTION_TYPE type;
        Point3D point;
    };

    TEST( SegmentPlaneIntersection, finds_the_point_or_tells_why_not )
    {
        const Plane plane{ Vector3D{ { 1, 1, 0 } }, point( 1, 0, 0 ) };
        const std::vector< SegmentPlaneCase > cases{
            { "crossing", Segment3D{ point( 0, 0, 5 ), point( 2, 0, 7 ) },
                INTERSECTION_TYPE::intersect, point( 1, 0, 6 ) },
            { "first end on the plane",
                Segment3D{ point( 0.375, 0.625, 5 ), point( 2, 0, 7 ) },
                INTERSECTION_TYPE::intersect, point( 0.375, 0.625, 5 ) },
            { "second end on the plane",
                Segment3D{ point( 9, 9, 9 ), point( -0.25, 1.25, -2 ) },
                INTERSECTION_TYPE::intersect, point( -0.25, 1.25, -2 ) },
            { "in the plane", Segment3D{ point( 1, 0, 0 ), point( 0, 1, 3 ) },
                INTERSECTION_TYPE::parallel, point( 0, 0, 0 ) },
            { "parallel off the plane",
                Segment3D{ point( 2, 0, 0 ), point( 0, 2, 3 ) },
                INTERSECTION_TYPE::parallel, point( 0, 0, 0 ) },
            { "zero length", Segment3D{ point( 2, 0, 0 ), point( 2, 0, 0 ) },
                INTERSECTION_TYPE::parallel, point( 0, 0, 0 ) },
            { "short of the plane",
                Segment3D{ point( 0, 0, 0 ), point( 0.5, 0, 0 ) },
                INTERSECTION_TYPE::none, point( 0, 0, 0 ) },
        };
        for( const auto& test : cases )
        {
            const auto result =
                segment_plane_intersection( test.segment, plane );
            EXPECT_EQ( result.type, test.type ) << test.name;
            EXPECT_EQ( result.has_intersection(),
                test.type == INTERSECTION_TYPE::intersect )
                << test.name;
            if( result.has_intersection() )
            {
                expect_near( result.result.value(), test.point, 1e-14 );
            }
        }
        EXPECT_EQ( segment_plane_intersection(
                       Segment3D{ point( 0, 0, 0 ), point( 1, 1, 1 ) },
                       Plane{ Vector3D{}, point( 0, 0, 0 ) } )
                       .type,
            INTERSECTION_TYPE::incorrect );
    }

    TEST( SegmentPlaneIntersection, point_stays_on_the_segment )
    {
        // A segment crossing the plane at a grazing angle: the computed point
        // is clamped to the segment and close to the plane.
        const Plane plane{ Vector3D{ { 0, 0, 1 } }, point( 0, 0, 0 ) };
        const Segment3D segment{ point( 0, 0, -1e-12 ),
            point( 1e6, 0, 1e-20 ) };
        const auto result = segment_plane_intersection( segment, plane );
        ASSERT_TRUE( result.has_intersection() );
        const auto& found = result.result.value();
        EXPECT_GE( found.value( 0 ), 0 );
        EXPECT_LE( found.value( 0 ), 1e6 );
        EXPECT_LE( std::abs( found.value( 2 ) ), 1e-12 );
    }

    TEST( LinePlaneIntersection, finds_the_point_or_tells_why_not )
    {
        const Plane plane{ Vector3D{ { 0, 0, 2 } }, point( 0, 0, 3 ) };
        const auto crossing = line_plane_intersection(
            InfiniteLine3D{ Vector3D{ { 1, 1, 1 } }, point( 0, 0, 0 ) },
            plane );
        ASSERT_TRUE( crossing.has_intersection() );
        expect_near( crossing.result.value(), point( 3, 3, 3 ), 1e-14 );
        EXPECT_EQ(
            line_plane_intersection(
                InfiniteLine3D{ Vector3D{ { 1, 1, 0 } }, point( 0, 0, 0 ) },
                plane )
                .type,
            INTERSECTION_TYPE::parallel );
        EXPECT_EQ( line_plane_intersection(
                       InfiniteLine3D{ Vector3D{}, point( 0, 0, 0 ) }, plane )
                       .type,
            INTERSECTION_TYPE::incorrect );
    }

    struct SegmentTriangleCase
    {
        const char* name;
        Segment3D segment;
        INTERSECTION_TYPE type;
        Point3D point;
    };

    TEST( SegmentTriangleIntersection, finds_the_point_or_tells_why_not )
    {
        const Triangle3D triangle{ point( 0, 0, 1 ), point( 4, 0, 1 ),
            point( 0, 4, 2 ) };
        const auto vertical = []( double x, double y ) {
            return Segment3D{ point( x, y, -10 ), point( x, y, 10 ) };
        };
        const std::vector< SegmentTriangleCase > cases{
            { "interior", vertical( 1, 1 ), INTERSECTION_TYPE::intersect,
                point( 1, 1, 1.25 ) },
            { "edge 0", vertical( 1, 0 ), INTERSECTION_TYPE::intersect,
                point( 1, 0, 1 ) },
            { "edge 1", vertical( 2, 2 ), INTERSECTION_TYPE::intersect,
                point( 2, 2, 1.5 ) },
            { "edge 2", vertical( 0, 2 ), INTERSECTION_TYPE::intersect,
                point( 0, 2, 1.5 ) },
            { "vertex 2", vertical( 0, 4 ), INTERSECTION_TYPE::intersect,
                point( 0, 4, 2 ) },
            { "segment end on the triangle",
                Segment3D{ point( 1, 1, 1.25 ), point( 7, 7, 7 ) },
                INTERSECTION_TYPE::intersect, point( 1, 1, 1.25 ) },
            { "outside", vertical( 3, 3 ), INTERSECTION_TYPE::none,
                point( 0, 0, 0 ) },
            { "short", Segment3D{ point( 1, 1, -10 ), point( 1, 1, 1 ) },
                INTERSECTION_TYPE::none, point( 0, 0, 0 ) },
            { "coplanar across",
                Segment3D{ point( -1, 0, 1 ), point( 5, 0, 1 ) },
                INTERSECTION_TYPE::parallel, point( 0, 0, 0 ) },
            { "coplanar away", Segment3D{ point( 5, 0, 1 ), point( 6, 0, 1 ) },
                INTERSECTION_TYPE::parallel, point( 0, 0, 0 ) },
        };
        for( const auto& test : cases )
        {
            const auto result =
                segment_triangle_intersection( test.segment, triangle );
            EXPECT_EQ( result.type, test.type ) << test.name;
            if( result.has_intersection() )
            {
                expect_near( result.result.value(), test.point, 1e-14 );
            }
        }
        const Triangle3D degenerate{ point( 0, 0, 0 ), point( 1, 1, 1 ),
            point( 2, 2, 2 ) };
        EXPECT_EQ(
            segment_triangle_intersection( vertical( 1, 1 ), degenerate ).type,
            INTERSECTION_TYPE::incorrect );
    }

    // Vertical segments through the shared edges and vertices of a grid of
    // triangles far from the origin with decimal, non-planar heights: every
    // triangle around the hit reports it, and the triangles sharing an edge
    // report the same point.
    TEST(
        SegmentTriangleIntersection, shared_edges_and_vertices_are_seen_by_all )
    {
        constexpr int size = 4;
        const auto grid_point = []( int i, int j )
        {
            // Mid points of the edges are exact in x and y.
            return point( ( 1e5 + 0.1 ) + 0.125 * i, ( -1e5 + 0.3 ) + 0.25 * j,
                0.37 * i * j + 0.11 * i * i );
        };
        std::vector< Triangle3D > triangles;
        for( int i = 0; i < size; i++ )
        {
            for( int j = 0; j < size; j++ )
            {
                triangles.emplace_back( grid_point( i, j ),
                    grid_point( i + 1, j ), grid_point( i + 1, j + 1 ) );
                triangles.emplace_back( grid_point( i, j ),
                    grid_point( i + 1, j + 1 ), grid_point( i, j + 1 ) );
            }
        }
        const auto hits_of = [&triangles]( const Segment3D& segment )
        {
            std::vector< Point3D > hits;
            for( const auto& triangle : triangles )
            {
                const auto result =
                    segment_triangle_intersection( segment, triangle );
                if( result.has_intersection() )
                {
                    hits.push_back( result.result.value() );
                }
            }
            return hits;
        };
        // Through an interior vertex: the six triangles around it.
        const auto vertex = grid_point( 2, 2 );
        const auto vertex_hits = hits_of(
            Segment3D{ point( vertex.value( 0 ), vertex.value( 1 ), -100 ),
                point( vertex.value( 0 ), vertex.value( 1 ), 100 ) } );
        ASSERT_EQ( vertex_hits.size(), 6 );
        for( const auto& hit : vertex_hits )
        {
            EXPECT_EQ( hit, vertex );
        }
        // Through the middle of shared diagonal and axis edges: two
        // triangles each, with identical points.
        const std::vector< std::pair< Point3D, Point3D > > edges{
            { grid_point( 1, 1 ), grid_point( 2, 2 ) },
            { grid_point( 1, 2 ), grid_point( 2, 2 ) },
            { grid_point( 3, 1 ), grid_point( 3, 2 ) },
        };
        for( const auto& [start, end] : edges )
        {
            const auto middle = ( start + end ) * 0.5;
            const auto edge_hits = hits_of(
                Segment3D{ point( middle.value( 0 ), middle.value( 1 ), -100 ),
                    point( middle.value( 0 ), middle.value( 1 ), 100 ) } );
            ASSERT_EQ( edge_hits.size(), 2 ) << middle.string();
            EXPECT_EQ( edge_hits[0], edge_hits[1] );
            expect_near( edge_hits[0], middle, 1e-9 );
        }
    }

    // Random segments against random triangles far from the origin: the
    // point is found exactly when the detection sees a single meeting point,
    // and it lies on both objects.
    TEST( SegmentTriangleIntersection, points_agree_with_the_detection )
    {
        std::mt19937_64 engine{ 19 };
        std::uniform_real_distribution< double > coordinate{ -1, 1 };
        const auto random_point = [&]()
        {
            return point( 1e5 + coordinate( engine ),
                -3e5 + coordinate( engine ), coordinate( engine ) );
        };
        int nb_hits{ 0 };
        for( int iteration = 0; iteration < 20000; iteration++ )
        {
            const Triangle3D triangle{ random_point(), random_point(),
                random_point() };
            const Segment3D segment{ random_point(), random_point() };
            const auto result =
                segment_triangle_intersection( segment, triangle );
            const auto position =
                segment_triangle_intersection_detection( segment, triangle );
            const bool single_point = position.second != POSITION::outside
                                      && position.second != POSITION::parallel;
            ASSERT_EQ( result.has_intersection(), single_point ) << iteration;
            if( !result.has_intersection() )
            {
                continue;
            }
            nb_hits++;
            const auto& hit = result.result.value();
            EXPECT_LT( point_segment_distance( hit, segment ), 1e-8 )
                << iteration;
            EXPECT_LT(
                std::get< 0 >( point_triangle_distance( hit, triangle ) ),
                1e-8 )
                << iteration;
        }
        EXPECT_GT( nb_hits, 1000 );
    }

    TEST( SegmentSegmentIntersection, finds_the_point_or_tells_why_not )
    {
        const auto segment2 = []( double x0, double y0, double x1, double y1 ) {
            return Segment2D{ Point2D{ { x0, y0 } }, Point2D{ { x1, y1 } } };
        };
        const auto crossing = segment_segment_intersection(
            segment2( 0, 0, 4, 2 ), segment2( 0, 2, 4, 0 ) );
        ASSERT_TRUE( crossing.has_intersection() );
        EXPECT_NEAR( crossing.result->value( 0 ), 2, 1e-15 );
        EXPECT_NEAR( crossing.result->value( 1 ), 1, 1e-15 );
        const auto touching = segment_segment_intersection(
            segment2( 0, 0, 4, 2 ), segment2( 0.3, 0.7, 2, 1 ) );
        ASSERT_TRUE( touching.has_intersection() );
        EXPECT_EQ( touching.result.value(), ( Point2D{ { 2, 1 } } ) );
        const auto collinear_end = segment_segment_intersection(
            segment2( 0, 0, 4, 2 ), segment2( 8, 4, 4, 2 ) );
        ASSERT_TRUE( collinear_end.has_intersection() );
        EXPECT_EQ( collinear_end.result.value(), ( Point2D{ { 4, 2 } } ) );
        EXPECT_EQ( segment_segment_intersection(
                       segment2( 0, 0, 4, 2 ), segment2( 2, 1, 6, 3 ) )
                       .type,
            INTERSECTION_TYPE::parallel );
        EXPECT_EQ( segment_segment_intersection(
                       segment2( 0, 0, 4, 2 ), segment2( 0, 1, 4, 3 ) )
                       .type,
            INTERSECTION_TYPE::none );
    }

    TEST( SegmentSegmentIntersection, crossing_points_lie_on_both_segments )
    {
        std::mt19937_64 engine{ 7 };
        std::uniform_real_distribution< double > coordinate{ -1e3, 1e3 };
        int nb_crossings{ 0 };
        for( int iteration = 0; iteration < 5000; iteration++ )
        {
            std::array< Point2D, 4 > points;
            for( auto& point2 : points )
            {
                point2 =
                    Point2D{ { coordinate( engine ), coordinate( engine ) } };
            }
            const Segment2D segment0{ points[0], points[1] };
            const Segment2D segment1{ points[2], points[3] };
            const auto result =
                segment_segment_intersection( segment0, segment1 );
            EXPECT_EQ( result.has_intersection(),
                segments_cross( segment0, segment1 ) );
            if( !result.has_intersection() )
            {
                continue;
            }
            nb_crossings++;
            for( const auto& segment : { segment0, segment1 } )
            {
                const auto& [start, end] = segment.vertices();
                const Vector2D direction{ start, end };
                const Vector2D offset{ start, result.result.value() };
                const auto distance =
                    std::abs( direction.value( 0 ) * offset.value( 1 )
                              - direction.value( 1 ) * offset.value( 0 ) )
                    / direction.length();
                EXPECT_LT( distance, 1e-9 );
                const auto parameter =
                    direction.dot( offset ) / direction.length2();
                EXPECT_GE( parameter, -1e-12 );
                EXPECT_LE( parameter, 1 + 1e-12 );
            }
        }
        EXPECT_GT( nb_crossings, 100 );
    }
} // namespace
