#include <cmath>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <halven/decimation/internal_distance.h>
#include <halven/decimation/triangulated_surface_internal_distance_improvement_simulator.h>

#include "halven/background/background_fixture.h"

namespace brevane
{
    namespace
    {
        Point2D point( double x, double y )
        {
            return Point2D{ { x, y } };
        }
    } // namespace

    TEST( MinimalTriangleInternalDistance, is_the_smallest_height )
    {
        struct Case
        {
            const char* name;
            Triangle2D triangle;
            double distance;
        };
        const auto sqrt3 = std::sqrt( 3. );
        const std::vector< Case > cases{
            { "equilateral of side 2",
                { point( 0, 0 ), point( 2, 0 ), point( 1, sqrt3 ) }, sqrt3 },
            { "right triangle 3 4 5",
                { point( 0, 0 ), point( 3, 0 ), point( 0, 4 ) }, 2.4 },
            { "clockwise right triangle",
                { point( 0, 0 ), point( 0, 4 ), point( 3, 0 ) }, 2.4 },
            { "right triangle scaled by 10",
                { point( 10, 10 ), point( 40, 10 ), point( 10, 50 ) }, 24 },
            { "flat cap", { point( 0, 0 ), point( 10, 0 ), point( 5, 0.1 ) },
                0.1 },
            { "needle", { point( 0, 0 ), point( 10, 0.5 ), point( 10, -0.5 ) },
                10 / std::sqrt( 100.25 ) },
            { "aligned points", { point( 0, 0 ), point( 1, 1 ), point( 3, 3 ) },
                0 },
            { "two coincident points",
                { point( 1, 2 ), point( 1, 2 ), point( 4, 6 ) }, 0 },
            { "one point three times",
                { point( 1, 2 ), point( 1, 2 ), point( 1, 2 ) }, 0 }
        };
        for( const auto& test_case : cases )
        {
            EXPECT_NEAR(
                minimal_triangle_internal_distance( test_case.triangle ).value,
                test_case.distance, 1e-12 )
                << test_case.name;
        }
    }

    TEST( MinimalTriangleInternalDistance, does_not_depend_on_the_dimension )
    {
        const Triangle3D tilted{ Point3D{ { 0, 0, 0 } }, Point3D{ { 3, 0, 0 } },
            Point3D{ { 0, 0, 4 } } };
        EXPECT_NEAR(
            minimal_triangle_internal_distance( tilted ).value, 2.4, 1e-12 );
    }

    namespace
    {
        using Simulator =
            TriangulatedSurfaceInternalDistanceImprovementSimulator2D;

        // The two right triangles of the unit square, and a flat triangle.
        std::unique_ptr< TriangulatedSurface2D > three_triangles()
        {
            return internal::test::make_triangulation(
                { point( 0, 0 ), point( 1, 0 ), point( 1, 1 ), point( 0, 1 ),
                    point( 5, 0 ), point( 5.5, 0.05 ) },
                { { 0, 1, 2 }, { 0, 2, 3 }, { 1, 4, 5 } } );
        }
    } // namespace

    TEST( InternalDistanceSimulator, records_the_worst_triangle_of_each_side )
    {
        const auto surface = three_triangles();
        const auto right =
            minimal_triangle_internal_distance( surface->triangle( 0 ) );
        const auto flat =
            minimal_triangle_internal_distance( surface->triangle( 2 ) );
        ASSERT_LT( flat, right );

        Simulator simulator;
        simulator.start_simulation();
        EXPECT_EQ(
            simulator.worst(), std::numeric_limits< double >::infinity() );
        EXPECT_TRUE( simulator.evaluate_triangle( *surface, 0 ) );
        EXPECT_THAT(
            simulator.internal_distances(), testing::ElementsAre( right ) );
        EXPECT_TRUE( simulator.evaluate_triangle( *surface, 2 ) );
        EXPECT_THAT(
            simulator.internal_distances(), testing::ElementsAre( flat ) );
        EXPECT_DOUBLE_EQ( simulator.worst(), flat.value );
        EXPECT_DOUBLE_EQ( simulator.metric(), flat.value );
        EXPECT_FALSE( simulator.is_better_after_simulation() );

        simulator.start_after_change();
        EXPECT_TRUE( simulator.evaluate_triangle( *surface, 0 ) );
        EXPECT_TRUE( simulator.evaluate_triangle( *surface, 1 ) );
        EXPECT_DOUBLE_EQ( simulator.worst(), right.value );
        EXPECT_TRUE( simulator.is_better_after_simulation() );
    }

    // Better means strictly better worst quality, whatever the others.
    TEST( InternalDistanceSimulator, compares_the_worst_qualities )
    {
        struct Case
        {
            std::vector< double > before;
            std::vector< double > after;
            bool better;
        };
        const std::vector< Case > cases{ { { 1, 2 }, { 1.5, 1.5 }, true },
            { { 1, 2 }, { 1, 3 }, false }, { { 1, 2 }, { 0.9, 5 }, false },
            { { 2 }, { 3, 2.5, 2.1 }, true }, { { 0 }, { 1e-12 }, true },
            { { 1 }, { 1 }, false } };
        for( const auto& test_case : cases )
        {
            Simulator simulator;
            simulator.start_simulation();
            for( const auto value : test_case.before )
            {
                simulator.set_internal_distances(
                    { InternalDistance{ value } } );
            }
            simulator.start_after_change();
            for( const auto value : test_case.after )
            {
                simulator.set_internal_distances(
                    { InternalDistance{ value } } );
            }
            EXPECT_EQ(
                simulator.is_better_after_simulation(), test_case.better )
                << testing::PrintToString( test_case.before ) << " -> "
                << testing::PrintToString( test_case.after );
        }
    }

    // A triangle may store several distances, more than ten too: the
    // smallest counts, and the count of stored distances is returned.
    TEST( InternalDistanceSimulator, stores_lists_of_distances )
    {
        Simulator simulator;
        simulator.start_simulation();
        std::vector< InternalDistance > many;
        for( index_t index = 0; index < 12; index++ )
        {
            many.push_back( { 5. - index * 0.25 } );
        }
        EXPECT_EQ( simulator.set_internal_distances( many ), 12 );
        EXPECT_EQ( simulator.internal_distances().size(), 12 );
        EXPECT_DOUBLE_EQ( simulator.worst(), 2.25 );
        EXPECT_EQ( simulator.set_internal_distances( { { 3. }, { 4. } } ), 2 );
        EXPECT_DOUBLE_EQ( simulator.worst(), 2.25 );
        EXPECT_EQ( simulator.set_internal_distances( {} ), 0 );
        EXPECT_THAT( simulator.internal_distances(), testing::IsEmpty() );

        // A new simulation forgets everything.
        simulator.start_simulation();
        EXPECT_EQ(
            simulator.worst(), std::numeric_limits< double >::infinity() );
        simulator.set_internal_distances( { { 7. } } );
        EXPECT_DOUBLE_EQ( simulator.worst(), 7 );
    }
} // namespace brevane
