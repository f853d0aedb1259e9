#include <gtest/gtest.h>

#include <tessark/geometry/mensuration.h>

namespace
{
    using namespace brevane;

    TEST( TriangleArea, signed_in_the_plane )
    {
        const Point2D a{ { 1, 1 } };
        const Point2D b{ { 5, 1 } };
        const Point2D c{ { 1, 4 } };
        EXPECT_DOUBLE_EQ( triangle_signed_area( Triangle2D{ a, b, c } ), 6 );
        EXPECT_DOUBLE_EQ( triangle_signed_area( Triangle2D{ a, c, b } ), -6 );
        EXPECT_DOUBLE_EQ( triangle_area( Triangle2D{ a, c, b } ), 6 );
        EXPECT_EQ( triangle_signed_area( Triangle2D{ a, b, b } ), 0 );
    }

    TEST( TriangleArea, in_space )
    {
        const Triangle3D triangle{ Point3D{ { 0, 0, 1 } },
            Point3D{ { 3, 0, 1 } }, Point3D{ { 0, 0, 5 } } };
        EXPECT_DOUBLE_EQ( triangle_area( triangle ), 6 );
        const Triangle3D flat{ Point3D{ { 0, 0, 0 } }, Point3D{ { 1, 1, 1 } },
            Point3D{ { 2, 2, 2 } } };
        EXPECT_EQ( triangle_area( flat ), 0 );
    }

    TEST( TriangleArea, small_triangles_far_from_the_origin )
    {
        // Edges of about 1e-3 at 1e6: the area is measured from edge vectors,
        // not from absolute coordinates.
        const double x = 1e6;
        const Triangle3D triangle{ Point3D{ { x, x, x } },
            Point3D{ { x + 0.5e-3, x, x } }, Point3D{ { x, x + 0.25e-3, x } } };
        const auto dx = ( x + 0.5e-3 ) - x;
        const auto dy = ( x + 0.25e-3 ) - x;
        EXPECT_DOUBLE_EQ( triangle_area( triangle ), 0.5 * dx * dy );
    }
} // namespace
