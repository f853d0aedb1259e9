#include <array>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include <tessark/geometry/barycentric_coordinates.h>

namespace
{
    using namespace brevane;

    template < index_t D >
    Point< D > combination(
        const Triangle< D >& triangle, const std::array< double, 3 >& weights )
    {
        Point< D > result;
        for( local_index_t vertex = 0; vertex < 3; vertex++ )
        {
            result += triangle.vertices()[vertex] * weights[vertex];
        }
        return result;
    }

    template < index_t D >
    void expect_near( const Point< D >& actual, const Point< D >& expected )
    {
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            EXPECT_NEAR( actual.value( axis ), expected.value( axis ), 1e-12 )
                << actual.string() << " vs " << expected.string();
        }
    }

    void expect_weights( const std::array< double, 3 >& actual,
        const std::array< double, 3 >& expected )
    {
        for( local_index_t vertex = 0; vertex < 3; vertex++ )
        {
            EXPECT_NEAR( actual[vertex], expected[vertex], 1e-14 )
                << int( vertex );
        }
    }

    TEST( TriangleBarycentricCoordinates, rebuild_the_point )
    {
        const Triangle2D triangle{ Point2D{ { 1, 1 } }, Point2D{ { 5, 2 } },
            Point2D{ { 2, 6 } } };
        expect_weights(
            triangle_barycentric_coordinates( Point2D{ { 5, 2 } }, triangle ),
            { 0, 1, 0 } );
        expect_weights(
            triangle_barycentric_coordinates( triangle.barycenter(), triangle ),
            { 1. / 3, 1. / 3, 1. / 3 } );
        // Clockwise triangles give the same weights.
        const Triangle2D clockwise{ triangle.vertices()[0],
            triangle.vertices()[2], triangle.vertices()[1] };
        const Point2D query{ { 3, 3 } };
        const auto weights =
            triangle_barycentric_coordinates( query, triangle );
        const auto clockwise_weights =
            triangle_barycentric_coordinates( query, clockwise );
        EXPECT_NEAR( weights[1], clockwise_weights[2], 1e-15 );
        expect_near( combination( triangle, weights ), query );
        // Beyond edge 1 (opposite vertex 0): negative first weight.
        const Point2D beyond{ { 6, 6 } };
        const auto outside =
            triangle_barycentric_coordinates( beyond, triangle );
        EXPECT_LT( outside[0], 0 );
        expect_near( combination( triangle, outside ), beyond );
    }

    TEST( TriangleBarycentricCoordinates, project_on_the_plane_in_3d )
    {
        const Triangle3D triangle{ Point3D{ { 1e5, 0, 1 } },
            Point3D{ { 1e5 + 4, 0, 1 } }, Point3D{ { 1e5, 4, 1 } } };
        const auto weights = triangle_barycentric_coordinates(
            Point3D{ { 1e5 + 1, 2, -30 } }, triangle );
        expect_weights( weights, { 0.25, 0.25, 0.5 } );
        std::mt19937_64 engine{ 13 };
        std::uniform_real_distribution< double > coordinate{ -3, 3 };
        for( int iteration = 0; iteration < 100; iteration++ )
        {
            const Point3D query{ { 1e5 + coordinate( engine ),
                coordinate( engine ), 1 } };
            const auto random_weights =
                triangle_barycentric_coordinates( query, triangle );
            EXPECT_NEAR(
                random_weights[0] + random_weights[1] + random_weights[2], 1,
                1e-12 );
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                EXPECT_NEAR(
                    combination( triangle, random_weights ).value( axis ),
                    query.value( axis ), 1e-9 );
            }
        }
    }

    TEST( TriangleBarycentricCoordinates, rejects_zero_area )
    {
        const Triangle2D flat{ Point2D{ { 0, 0 } }, Point2D{ { 1, 1 } },
            Point2D{ { 2, 2 } } };
        EXPECT_THROW( static_cast< void >( triangle_barycentric_coordinates(
                          Point2D{ { 1, 0 } }, flat ) ),
            TessarkException );
        const Triangle3D single{ Point3D{ { 1, 2, 3 } }, Point3D{ { 1, 2, 3 } },
            Point3D{ { 1, 2, 3 } } };
        EXPECT_THROW( static_cast< void >( triangle_barycentric_coordinates(
                          Point3D{ { 1, 0, 0 } }, single ) ),
            TessarkException );
    }

    TEST( SafeTriangleBarycentricCoordinates, regular_triangles_are_unchanged )
    {
        const Triangle3D triangle{ Point3D{ { 0, 0, 0 } },
            Point3D{ { 3, 0, 1 } }, Point3D{ { 0, 2, 5 } } };
        const Point3D query{ { 0.5, 0.7, 1 } };
        const auto regular =
            triangle_barycentric_coordinates( query, triangle );
        const auto safe =
            safe_triangle_barycentric_coordinates( query, triangle );
        expect_weights( safe, regular );
    }

    struct DegenerateCase
    {
        const char* name;
        Point2D point;
        std::array< double, 3 > weights;
    };

    TEST( SafeTriangleBarycentricCoordinates,
        use_the_longest_edge_of_a_flat_triangle )
    {
        // Collinear vertices; the longest edge is edge 2, from vertex 2 to
        // vertex 0.
        const Triangle2D flat{ Point2D{ { 0, 0 } }, Point2D{ { 1, 1 } },
            Point2D{ { 3, 3 } } };
        const std::vector< DegenerateCase > cases{
            { "on the edge", Point2D{ { 2, 2 } }, { 1. / 3, 0, 2. / 3 } },
            { "beside the edge", Point2D{ { 2, 0 } }, { 2. / 3, 0, 1. / 3 } },
            { "beyond vertex 2", Point2D{ { 5, 5 } }, { 0, 0, 1 } },
            { "beyond vertex 0", Point2D{ { -1, -3 } }, { 1, 0, 0 } },
        };
        for( const auto& test : cases )
        {
            expect_weights(
                safe_triangle_barycentric_coordinates( test.point, flat ),
                test.weights );
        }
        // A sliver whose height is below the threshold is flat too.
        const Triangle2D sliver{ Point2D{ { 0, 0 } }, Point2D{ { 4, 1e-13 } },
            Point2D{ { 8, 0 } } };
        expect_weights( safe_triangle_barycentric_coordinates(
                            Point2D{ { 2, 1 } }, sliver ),
            { 0.75, 0, 0.25 } );
    }

    TEST(
        SafeTriangleBarycentricCoordinates, coincident_vertices_give_the_first )
    {
        const Triangle3D single{ Point3D{ { 1, 2, 3 } }, Point3D{ { 1, 2, 3 } },
            Point3D{ { 1, 2, 3 } } };
        expect_weights( safe_triangle_barycentric_coordinates(
                            Point3D{ { 7, 0, 0 } }, single ),
            { 1, 0, 0 } );
        // Two coincident vertices: the longest edge is the first one between
        // distinct vertices.
        const Triangle3D pair{ Point3D{ { 1, 2, 3 } }, Point3D{ { 1, 2, 3 } },
            Point3D{ { 1, 2, 7 } } };
        expect_weights( safe_triangle_barycentric_coordinates(
                            Point3D{ { 0, 0, 4 } }, pair ),
            { 0, 0.75, 0.25 } );
    }
} // namespace
