#include <gtest/gtest.h>

#include <tessark/geometry/bounding_box.h>

namespace brevane
{
    TEST( Point, projects_by_dropping_an_axis )
    {
        const Point3D point{ { 1, 2, 3 } };
        EXPECT_EQ( point.project_point( 2 ), ( Point2D{ { 1, 2 } } ) );
        EXPECT_EQ( point.project_point( 0 ), ( Point2D{ { 2, 3 } } ) );
        EXPECT_EQ( point.string(), "1 2 3" );
    }

    TEST( Point, inexact_equal_uses_the_global_tolerance )
    {
        const Point3D point{ { 1, 2, 3 } };
        EXPECT_TRUE( point.inexact_equal( Point3D{ { 1, 2, 3 + 0.9e-6 } } ) );
        EXPECT_FALSE( point.inexact_equal( Point3D{ { 1, 2, 3 + 1.1e-6 } } ) );
    }

    TEST( BoundingBox, signed_distance_is_negative_inside )
    {
        BoundingBox2D box;
        box.add_point( Point2D{ { 0, 0 } } );
        box.add_point( Point2D{ { 4, 2 } } );
        EXPECT_DOUBLE_EQ( box.signed_distance( Point2D{ { 1, 1.5 } } ), -0.5 );
        EXPECT_DOUBLE_EQ( box.signed_distance( Point2D{ { 7, 6 } } ), 5 );
        EXPECT_DOUBLE_EQ( box.signed_distance( Point2D{ { 2, -1 } } ), 1 );
    }

    TEST( BoundingBox, epsilon_intersects_grazing_segments )
    {
        BoundingBox3D box;
        box.add_point( Point3D{ { 0, 0, 0 } } );
        box.add_point( Point3D{ { 1, 1, 1 } } );
        const Segment3D vertical_inside{ Point3D{ { 0.5, 0.5, 5 } },
            Point3D{ { 0.5, 0.5, -5 } } };
        const Segment3D grazing{ Point3D{ { 1 + 0.5e-6, 0.5, 5 } },
            Point3D{ { 1 + 0.5e-6, 0.5, -5 } } };
        const Segment3D outside{ Point3D{ { 1 + 2e-6, 0.5, 5 } },
            Point3D{ { 1 + 2e-6, 0.5, -5 } } };
        const Segment3D short_above{ Point3D{ { 0.5, 0.5, 5 } },
            Point3D{ { 0.5, 0.5, 2 } } };
        EXPECT_TRUE( box.epsilon_intersects( vertical_inside ) );
        EXPECT_TRUE( box.epsilon_intersects( grazing ) );
        EXPECT_FALSE( box.epsilon_intersects( outside ) );
        EXPECT_FALSE( box.epsilon_intersects( short_above ) );
    }
} // namespace brevane
