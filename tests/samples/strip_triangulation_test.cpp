#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/geometry/predicates.h>

#include <samples/strip_triangulation.h>

namespace brevane
{
    namespace
    {
        // Points along the segment from start to end at increasing random
        // parameters, both ends included.
        std::vector< Point2D > chain_points( const Point2D& start,
            const Point2D& end, index_t nb_points, std::mt19937& engine )
        {
            std::uniform_real_distribution< double > parameter{ 0.001, 0.999 };
            std::vector< double > parameters{ 0, 1 };
            while( parameters.size() < nb_points )
            {
                parameters.push_back( parameter( engine ) );
            }
            std::sort( parameters.begin(), parameters.end() );
            parameters.erase(
                std::unique( parameters.begin(), parameters.end() ),
                parameters.end() );
            std::vector< Point2D > points;
            for( const auto t : parameters )
            {
                points.push_back( start * ( 1 - t ) + end * t );
            }
            if( nb_points == 1 )
            {
                points.resize( 1 );
            }
            return points;
        }

        double twice_area(
            const Point2D& a, const Point2D& b, const Point2D& c )
        {
            return ( b.value( 0 ) - a.value( 0 ) )
                       * ( c.value( 1 ) - a.value( 1 ) )
                   - ( b.value( 1 ) - a.value( 1 ) )
                         * ( c.value( 0 ) - a.value( 0 ) );
        }

        struct Strip
        {
            std::vector< Point2D > points;
            std::vector< index_t > first;
            std::vector< index_t > second;
            std::vector< double > first_positions;
            std::vector< double > second_positions;
        };

        // A chain along [a0, a1] and one along [b0, b1]; positions are the
        // distances from the chain starts scaled by an arbitrary factor.
        Strip make_strip( const std::array< Point2D, 4 >& corners,
            index_t nb_first, index_t nb_second, std::mt19937& engine )
        {
            Strip strip;
            const auto add_chain =
                [&]( const Point2D& start, const Point2D& end, index_t nb,
                    std::vector< index_t >& vertices,
                    std::vector< double >& positions, double scale )
            {
                for( const auto& point :
                    chain_points( start, end, nb, engine ) )
                {
                    vertices.push_back(
                        static_cast< index_t >( strip.points.size() ) );
                    positions.push_back(
                        scale * Vector2D{ start, point }.length() );
                    strip.points.push_back( point );
                }
            };
            add_chain( corners[0], corners[1], nb_first, strip.first,
                strip.first_positions, 3.5 );
            add_chain( corners[2], corners[3], nb_second, strip.second,
                strip.second_positions, 0.2 );
            return strip;
        }
    } // namespace

    // Random strips between two sides of convex quadrilaterals, the second
    // chain on the right of the first: the triangles must tile the
    // quadrilateral, all counter-clockwise, each inner edge shared by two
    // triangles in opposite directions.
    TEST( StripTriangulation, tiles_the_strip_counter_clockwise )
    {
        std::mt19937 engine{ 11 };
        std::uniform_int_distribution< index_t > size{ 1, 12 };
        const std::vector< std::array< Point2D, 4 > > quadrilaterals{
            // first chain up the left side, second up the right side.
            { Point2D{ { 0, 0 } }, Point2D{ { 0, 1 } }, Point2D{ { 1, 0 } },
                Point2D{ { 1, 1 } } },
            // a trapezoid: a long top chain over a short inner row.
            { Point2D{ { 0, 5 } }, Point2D{ { 10, 5 } }, Point2D{ { 2, 4 } },
                Point2D{ { 7, 4 } } },
            // a skewed convex quadrilateral.
            { Point2D{ { 0, 0 } }, Point2D{ { 1, 3 } }, Point2D{ { 2, -1 } },
                Point2D{ { 2.5, 2 } } }
        };
        for( const auto& corners : quadrilaterals )
        {
            for( int trial = 0; trial < 200; trial++ )
            {
                const auto nb_first = size( engine );
                const auto nb_second = std::max( index_t{ 2 }, size( engine ) );
                const auto strip =
                    make_strip( corners, nb_first, nb_second, engine );
                // A first chain of one vertex makes a triangle.
                const auto& first_start = strip.points[strip.first.front()];
                const auto& first_end = strip.points[strip.first.back()];
                const auto& second_end = strip.points[strip.second.back()];
                const auto expected_area =
                    twice_area( first_start, strip.points[strip.second.front()],
                        second_end )
                    + twice_area( first_start, second_end, first_end );
                std::vector< std::array< index_t, 3 > > triangles;
                append_strip_triangles( { strip.first, strip.first_positions },
                    { strip.second, strip.second_positions }, triangles );
                ASSERT_EQ( triangles.size(),
                    strip.first.size() + strip.second.size() - 2 );
                double area{ 0 };
                absl::flat_hash_map< std::pair< index_t, index_t >, int > edges;
                for( const auto& triangle : triangles )
                {
                    const auto& a = strip.points[triangle[0]];
                    const auto& b = strip.points[triangle[1]];
                    const auto& c = strip.points[triangle[2]];
                    ASSERT_EQ( orientation_2d( a, b, c ), SIDE::positive );
                    area += twice_area( a, b, c );
                    for( index_t corner = 0; corner < 3; corner++ )
                    {
                        edges[{
                            triangle[corner], triangle[( corner + 1 ) % 3] }]++;
                    }
                }
                EXPECT_NEAR( area, expected_area, 1e-9 * expected_area );
                for( const auto& [edge, count] : edges )
                {
                    EXPECT_EQ( count, 1 );
                    const bool on_border =
                        !edges.contains( { edge.second, edge.first } );
                    // The border is the two chains and the two end edges.
                    if( on_border )
                    {
                        const auto is_chain_edge =
                            []( const std::vector< index_t >& chain,
                                std::pair< index_t, index_t > pair )
                        {
                            for( std::size_t v = 0; v + 1 < chain.size(); v++ )
                            {
                                if( ( chain[v] == pair.first
                                        && chain[v + 1] == pair.second )
                                    || ( chain[v] == pair.second
                                         && chain[v + 1] == pair.first ) )
                                {
                                    return true;
                                }
                            }
                            return false;
                        };
                        const auto is_end_edge =
                            ( edge.first == strip.first.front()
                                && edge.second == strip.second.front() )
                            || ( edge.second == strip.first.front()
                                 && edge.first == strip.second.front() )
                            || ( edge.first == strip.first.back()
                                 && edge.second == strip.second.back() )
                            || ( edge.second == strip.first.back()
                                 && edge.first == strip.second.back() );
                        EXPECT_TRUE( is_chain_edge( strip.first, edge )
                                     || is_chain_edge( strip.second, edge )
                                     || is_end_edge );
                    }
                }
            }
        }
    }

    TEST( StripTriangulation, merges_by_position )
    {
        // Two chains with the same positions give the regular zigzag; a
        // chain whose samples cluster at its start takes them first.
        const std::vector< index_t > left{ 0, 1, 2 };
        const std::vector< index_t > right{ 3, 4, 5 };
        const std::vector< double > even{ 0, 1, 2 };
        std::vector< std::array< index_t, 3 > > triangles;
        append_strip_triangles( { left, even }, { right, even }, triangles );
        EXPECT_EQ(
            triangles, ( std::vector< std::array< index_t, 3 > >{ { 0, 3, 1 },
                           { 1, 3, 4 }, { 1, 4, 2 }, { 2, 4, 5 } } ) );

        triangles.clear();
        const std::vector< double > early{ 0, 0.1, 10 };
        append_strip_triangles( { left, even }, { right, early }, triangles );
        EXPECT_EQ(
            triangles, ( std::vector< std::array< index_t, 3 > >{ { 0, 3, 4 },
                           { 0, 4, 1 }, { 1, 4, 2 }, { 2, 4, 5 } } ) );
    }

    TEST( StripTriangulation, rejects_bad_chains )
    {
        const std::vector< index_t > two{ 0, 1 };
        const std::vector< index_t > one{ 2 };
        const std::vector< index_t > none;
        const std::vector< double > increasing{ 0, 1 };
        const std::vector< double > flat{ 1, 1 };
        const std::vector< double > single{ 0 };
        std::vector< std::array< index_t, 3 > > triangles;
        EXPECT_THROW( append_strip_triangles(
                          { none, {} }, { two, increasing }, triangles ),
            TessarkException );
        EXPECT_THROW( append_strip_triangles(
                          { one, single }, { one, single }, triangles ),
            TessarkException );
        EXPECT_THROW( append_strip_triangles(
                          { two, flat }, { two, increasing }, triangles ),
            TessarkException );
        EXPECT_THROW( append_strip_triangles(
                          { two, single }, { two, increasing }, triangles ),
            TessarkException );
        EXPECT_TRUE( triangles.empty() );
        append_strip_triangles(
            { one, single }, { two, increasing }, triangles );
        EXPECT_EQ( triangles,
            ( std::vector< std::array< index_t, 3 > >{ { 2, 0, 1 } } ) );
    }
} // namespace brevane
