#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve_builder.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    TEST( EdgedCurve, measures_its_edges )
    {
        const auto curve = test::zigzag_polyline< 3 >( 4 );
        EXPECT_EQ( curve->nb_vertices(), 5 );
        EXPECT_EQ( curve->nb_edges(), 4 );
        EXPECT_DOUBLE_EQ( curve->edge_length( 2 ), std::sqrt( 2. ) );
        EXPECT_EQ(
            curve->edge_barycenter( 1 ), ( Point3D{ { 1.5, 0.5, 0 } } ) );
        EXPECT_EQ(
            curve->segment( 3 ).vertices()[1], ( Point3D{ { 4, 0, 0 } } ) );
        const auto box = curve->bounding_box();
        EXPECT_EQ( box.min(), ( Point3D{ { 0, 0, 0 } } ) );
        EXPECT_EQ( box.max(), ( Point3D{ { 4, 1, 0 } } ) );
    }

    TEST( EdgedCurve, keeps_the_edges_around_each_vertex )
    {
        const auto curve = test::zigzag_polyline< 2 >( 3 );
        EXPECT_EQ( curve->edges_around_vertex( 0 ).size(), 1 );
        const auto& middle = curve->edges_around_vertex( 1 );
        ASSERT_EQ( middle.size(), 2 );
        EXPECT_EQ( middle[0], ( EdgeVertex{ 0, 1 } ) );
        EXPECT_EQ( middle[1], ( EdgeVertex{ 1, 0 } ) );
        EXPECT_EQ( curve->edge_from_vertices( 2, 1 ), 1 );
        EXPECT_FALSE( curve->edge_from_vertices( 0, 2 ) );
        EXPECT_FALSE( curve->is_edge_isolated( 1 ) );
    }
} // namespace brevane
