#include <algorithm>
#include <random>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/search/regular_grid.h>

namespace
{
    using namespace brevane;

    template < index_t D >
    BoundingBox< D > make_box(
        const std::array< double, D >& min, const std::array< double, D >& max )
    {
        BoundingBox< D > box;
        box.add_point( Point< D >{ min } );
        box.add_point( Point< D >{ max } );
        return box;
    }

    template < index_t D >
    std::vector< GridCellIndices< D > > sorted_cells(
        const LightRegularGrid< D >& grid, const Point< D >& point )
    {
        const auto cells = grid.cells( point );
        std::vector< GridCellIndices< D > > result(
            cells.begin(), cells.end() );
        std::sort( result.begin(), result.end() );
        return result;
    }

    // The cells whose box grown by the tolerance holds the point.
    template < index_t D >
    std::vector< GridCellIndices< D > > brute_force_cells(
        const LightRegularGrid< D >& grid, const Point< D >& point )
    {
        std::vector< GridCellIndices< D > > result;
        for( index_t index = 0; index < grid.nb_cells(); index++ )
        {
            auto box = grid.cell_bounding_box( grid.cell_indices( index ) );
            box.extends( GLOBAL_EPSILON );
            if( box.contains( point ) )
            {
                result.push_back( grid.cell_indices( index ) );
            }
        }
        std::sort( result.begin(), result.end() );
        return result;
    }

    TEST( LightRegularGrid, flat_index_round_trips_over_every_cell )
    {
        const LightRegularGrid3D grid{ Point3D{ { -1, 2, 0.5 } }, { 3, 4, 5 },
            { 0.5, 1, 2 } };
        EXPECT_EQ( grid.nb_cells(), 60 );
        EXPECT_EQ( grid.nb_cells_in_direction( 1 ), 4 );
        EXPECT_EQ( grid.cell_length_in_direction( 2 ), 2 );
        EXPECT_EQ( grid.cell_index( { 1, 0, 0 } ), 1 );
        EXPECT_EQ( grid.cell_index( { 0, 1, 0 } ), 3 );
        EXPECT_EQ( grid.cell_index( { 0, 0, 1 } ), 12 );
        for( index_t index = 0; index < grid.nb_cells(); index++ )
        {
            EXPECT_EQ( grid.cell_index( grid.cell_indices( index ) ), index );
        }
        EXPECT_EQ( grid.cell_barycenter( { 2, 3, 4 } ),
            ( Point3D{ { 0.25, 5.5, 9.5 } } ) );
        const auto box = grid.grid_bounding_box();
        EXPECT_EQ( box.min(), ( Point3D{ { -1, 2, 0.5 } } ) );
        EXPECT_EQ( box.max(), ( Point3D{ { 0.5, 6, 10.5 } } ) );
    }

    TEST( LightRegularGrid, points_on_boundaries_belong_to_every_side )
    {
        const LightRegularGrid2D grid{ Point2D{ { 0, 0 } }, { 4, 2 },
            { 1, 0.5 } };
        struct Case
        {
            Point2D point;
            std::vector< GridCellIndices< 2 > > cells;
        };
        const std::vector< Case > cases{
            { Point2D{ { 1.5, 0.25 } }, { { 1, 0 } } },
            { Point2D{ { 1, 0.25 } }, { { 0, 0 }, { 1, 0 } } },
            { Point2D{ { 1 + 0.5e-6, 0.25 } }, { { 0, 0 }, { 1, 0 } } },
            { Point2D{ { 1 + 2e-6, 0.25 } }, { { 1, 0 } } },
            { Point2D{ { 2, 0.5 } },
                { { 1, 0 }, { 1, 1 }, { 2, 0 }, { 2, 1 } } },
            { Point2D{ { 0, 0.75 } }, { { 0, 1 } } },
            { Point2D{ { 4, 1 } }, { { 3, 1 } } },
            { Point2D{ { 4, 0.5 } }, { { 3, 0 }, { 3, 1 } } },
            { Point2D{ { -0.5e-6, 0.25 } }, { { 0, 0 } } },
            { Point2D{ { -2e-6, 0.25 } }, {} },
            { Point2D{ { 2, 1 + 2e-6 } }, {} },
            { Point2D{ { 10, -10 } }, {} },
        };
        for( const auto& test : cases )
        {
            EXPECT_EQ( sorted_cells( grid, test.point ), test.cells )
                << test.point.string();
            EXPECT_EQ( grid.contains( test.point ), !test.cells.empty() )
                << test.point.string();
        }
        const LightRegularGrid3D cube{ Point3D{ { 0, 0, 0 } }, { 2, 2, 2 },
            { 1, 1, 1 } };
        EXPECT_EQ( cube.cells( Point3D{ { 1, 1, 1 } } ).size(), 8 );
    }

    TEST( LightRegularGrid, cells_of_random_points_match_brute_force )
    {
        const LightRegularGrid3D grid{ Point3D{ { -1, 0, 2 } }, { 5, 3, 4 },
            { 0.25, 0.5, 1 } };
        std::mt19937 engine{ 17 };
        std::uniform_real_distribution< double > unit{ -0.1, 1.1 };
        std::uniform_int_distribution< int > snap{ 0, 3 };
        const auto box = grid.grid_bounding_box();
        for( int query = 0; query < 2000; query++ )
        {
            Point3D point;
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                const auto length = grid.cell_length_in_direction( axis );
                auto value = box.min().value( axis )
                             + unit( engine ) * box.diagonal().value( axis );
                if( snap( engine ) == 0 )
                {
                    // Snap to the nearest cell boundary.
                    value = box.min().value( axis )
                            + std::round(
                                  ( value - box.min().value( axis ) ) / length )
                                  * length;
                }
                point.set_value( axis, value );
            }
            EXPECT_EQ(
                sorted_cells( grid, point ), brute_force_cells( grid, point ) )
                << point.string();
        }
    }

    TEST( LightRegularGrid, rejects_invalid_grids_and_cells )
    {
        const Point2D origin{ { 0, 0 } };
        EXPECT_THROW( LightRegularGrid2D( origin, { 0, 2 }, { 1, 1 } ),
            TessarkException );
        EXPECT_THROW( LightRegularGrid2D( origin, { 2, 2 }, { 1, -1 } ),
            TessarkException );
        EXPECT_THROW( LightRegularGrid2D( origin, { 2, 2 },
                          { 1, std::numeric_limits< double >::infinity() } ),
            TessarkException );
        EXPECT_THROW( LightRegularGrid2D( origin, { 70000, 70000 }, { 1, 1 } ),
            TessarkException );
        const LightRegularGrid2D largest{ origin, { 65536, 65535 }, { 1, 1 } };
        EXPECT_EQ( largest.nb_cells(), 65536u * 65535u );
        const LightRegularGrid2D grid{ origin, { 2, 3 }, { 1, 1 } };
        EXPECT_THROW( (void)grid.cell_index( { 2, 0 } ), TessarkException );
        EXPECT_THROW( (void)grid.cell_indices( 6 ), TessarkException );
        EXPECT_THROW( (void)grid.nb_cells_in_direction( 2 ), TessarkException );
    }

    struct GridCase
    {
        BoundingBox3D box;
        double target_length;
        index_t max_nb_cells;
        std::array< index_t, 3 > cells_number;
        double cell_length;
    };

    TEST( GridFromBox, covers_the_box_with_cells_of_the_target_length )
    {
        const std::vector< GridCase > cases{
            { make_box< 3 >( { 0, 0, 0 }, { 10, 5, 2 } ), 1, 1000, { 10, 5, 2 },
                1 },
            { make_box< 3 >( { 0, 0, 0 }, { 10, 5, 2 } ), 3, 1000, { 4, 2, 1 },
                3 },
            { make_box< 3 >( { 0, 0, 0 }, { 3, 0.9, 0.3 } ), 0.3, 1000,
                { 10, 3, 1 }, 0.3 },
            { make_box< 3 >( { 0, 2, 0 }, { 10, 2, 5 } ), 1, 1000, { 10, 1, 5 },
                1 },
            { make_box< 3 >( { 1, 1, 1 }, { 1, 1, 1 } ), 0.5, 1, { 1, 1, 1 },
                0.5 },
        };
        for( const auto& test : cases )
        {
            const auto grid =
                build_grid_from_bbox_target_length_and_maximum_cell_number(
                    test.box, test.target_length, test.max_nb_cells );
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                EXPECT_EQ( grid.nb_cells_in_direction( axis ),
                    test.cells_number[axis] )
                    << test.box.string() << " axis " << int{ axis };
                EXPECT_DOUBLE_EQ(
                    grid.cell_length_in_direction( axis ), test.cell_length );
            }
            const auto grid_box = grid.grid_bounding_box();
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                EXPECT_NEAR( grid_box.center().value( axis ),
                    test.box.center().value( axis ), 1e-12 );
            }
            EXPECT_TRUE( grid.contains( test.box.min() ) );
            EXPECT_TRUE( grid.contains( test.box.max() ) );
        }
    }

    TEST( GridFromBox, capped_grids_grow_cells_by_the_smallest_factor )
    {
        // The smallest side putting `count` cells on the extent: an extent
        // passing the cells by less than half the tolerance is accepted.
        const auto fitted = []( double extent, double count )
        {
            return ( extent - 0.5 * GLOBAL_EPSILON ) / count;
        };
        const std::vector< GridCase > cases{
            { make_box< 3 >( { 0, 0, 0 }, { 10, 10, 0 } ), 1, 25, { 5, 5, 1 },
                fitted( 10, 5 ) },
            { make_box< 3 >( { 0, 0, 0 }, { 100, 100, 1 } ), 1, 1000,
                { 31, 31, 1 }, fitted( 100, 31 ) },
            { make_box< 3 >( { 0, 0, 0 }, { 10.5, 0, 0 } ), 1, 10, { 10, 1, 1 },
                fitted( 10.5, 10 ) },
            { make_box< 3 >( { 0, 0, 0 }, { 7, 3, 5 } ), 0.1, 1, { 1, 1, 1 },
                fitted( 7, 1 ) },
        };
        for( const auto& test : cases )
        {
            const auto grid =
                build_grid_from_bbox_target_length_and_maximum_cell_number(
                    test.box, test.target_length, test.max_nb_cells );
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                EXPECT_EQ( grid.nb_cells_in_direction( axis ),
                    test.cells_number[axis] )
                    << test.box.string() << " axis " << int{ axis };
                EXPECT_NEAR( grid.cell_length_in_direction( axis ),
                    test.cell_length, 1e-14 * test.cell_length );
            }
        }
    }

    TEST( GridFromBox, capped_grids_fit_and_smaller_cells_would_not )
    {
        std::mt19937 engine{ 3 };
        std::uniform_real_distribution< double > extent{ 0, 50 };
        std::uniform_real_distribution< double > length{ 0.05, 5 };
        std::uniform_int_distribution< index_t > cap{ 1, 5000 };
        for( int trial = 0; trial < 300; trial++ )
        {
            const std::array< double, 3 > max{ extent( engine ),
                extent( engine ), trial % 3 == 0 ? 0. : extent( engine ) };
            const auto box = make_box< 3 >( { 0, 0, 0 }, max );
            const auto target = length( engine );
            const auto max_nb_cells = cap( engine );
            const auto grid =
                build_grid_from_bbox_target_length_and_maximum_cell_number(
                    box, target, max_nb_cells );
            ASSERT_LE( grid.nb_cells(), max_nb_cells );
            const auto cell_length = grid.cell_length_in_direction( 0 );
            ASSERT_GE( cell_length, target );
            EXPECT_TRUE( grid.contains( box.min() ) );
            EXPECT_TRUE( grid.contains( box.max() ) );
            if( cell_length > target )
            {
                const auto finer =
                    build_grid_from_bbox_target_length_and_maximum_cell_number(
                        box, cell_length * ( 1 - 1e-6 ), NO_ID );
                EXPECT_GT( finer.nb_cells(), max_nb_cells )
                    << box.string() << " target " << target << " cap "
                    << max_nb_cells;
            }
        }
    }

    TEST( GridFromBox, huge_cell_counts_are_capped_without_overflow )
    {
        const auto box = make_box< 3 >( { 0, 0, 0 }, { 1e6, 1e6, 1e6 } );
        const auto grid =
            build_grid_from_bbox_target_length_and_maximum_cell_number(
                box, 1e-3, NO_ID );
        EXPECT_LE( grid.nb_cells(), NO_ID );
        EXPECT_GT( grid.nb_cells(), NO_ID / 2 );
        EXPECT_EQ(
            grid.nb_cells_in_direction( 0 ), grid.nb_cells_in_direction( 2 ) );
    }

    TEST( GridFromBox, rejects_bad_arguments_with_their_values )
    {
        const auto box = make_box< 2 >( { 0, 0 }, { 1, 1 } );
        const auto message = []( const BoundingBox2D& input, double target,
                                 index_t max_nb_cells )
        {
            try
            {
                (void)
                    build_grid_from_bbox_target_length_and_maximum_cell_number(
                        input, target, max_nb_cells );
            }
            catch( const TessarkException& exception )
            {
                return std::string{ exception.what() };
            }
            return std::string{ "no error" };
        };
        EXPECT_THAT( message( BoundingBox2D{}, 1, 10 ),
            testing::HasSubstr( "Empty box" ) );
        EXPECT_THAT( message( box, -2.5, 10 ), testing::HasSubstr( "-2.5" ) );
        EXPECT_THAT( message( box, 0, 10 ), testing::HasSubstr( "got 0" ) );
        EXPECT_THAT(
            message( box, std::nan( "" ), 10 ), testing::HasSubstr( "nan" ) );
        EXPECT_THAT(
            message( box, std::numeric_limits< double >::infinity(), 10 ),
            testing::HasSubstr( "inf" ) );
        EXPECT_THAT( message( box, 1, 0 ),
            testing::HasSubstr( "Maximum number of cells" ) );
    }
} // namespace
