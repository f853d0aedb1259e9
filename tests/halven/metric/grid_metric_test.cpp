#include <cmath>
#include <random>
#include <set>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <halven/metric/grid_metric.h>

namespace brevane::internal
{
    namespace
    {
        Point2D at( double x, double y )
        {
            return Point2D{ { x, y } };
        }

        // Cells of side 1 covering [0, nb_x] x [0, nb_y].
        LightRegularGrid2D unit_grid( index_t nb_x, index_t nb_y )
        {
            return LightRegularGrid2D{ at( 0, 0 ), { nb_x, nb_y }, { 1., 1. } };
        }

        index_t cell( const LightRegularGrid2D& grid, index_t i, index_t j )
        {
            return grid.cell_index( { i, j } );
        }

        // True when the segment meets the box grown by `margin` (clipping).
        bool segment_meets_box( const Segment2D& segment, const BoundingBox2D& box, double margin )
        {
            double enter{ 0 };
            double leave{ 1 };
            for( local_index_t axis = 0; axis < 2; axis++ )
            {
                const auto start = segment.vertices()[0].value( axis );
                const auto delta = segment.direction().value( axis );
                const auto low = box.min().value( axis ) - margin;
                const auto high = box.max().value( axis ) + margin;
                if( delta == 0 )
                {
                    if( start < low || start > high )
                    {
                        return false;
                    }
                    continue;
                }
                auto t_low = ( low - start ) / delta;
                auto t_high = ( high - start ) / delta;
                if( t_low > t_high )
                {
                    std::swap( t_low, t_high );
                }
                enter = std::max( enter, t_low );
                leave = std::min( leave, t_high );
            }
            return enter <= leave;
        }
    } // namespace

    TEST( GridMetric, painting_keeps_the_smallest_value_over_the_default )
    {
        const auto grid = unit_grid( 10, 10 );
        GridMetric2D metric{ grid, 10 };
        metric.paint_segment( Segment2D{ at( 0.5, 0.5 ), at( 5.5, 0.5 ) }, 20, 0 );
        metric.paint_segment( Segment2D{ at( 2.5, 0.2 ), at( 2.5, 3.5 ) }, 1, 0 );
        metric.paint_segment( Segment2D{ at( 4.2, 0.7 ), at( 4.8, 0.3 ) }, 30, 0 );
        for( index_t i = 0; i < 6; i++ )
        {
            EXPECT_TRUE( metric.is_cell_painted( cell( grid, i, 0 ) ) );
            // The default does not cap the first painted value.
            EXPECT_EQ( metric.cell_value( cell( grid, i, 0 ) ), i == 2 ? 1 : 20 ) << i;
        }
        for( index_t j = 1; j < 4; j++ )
        {
            EXPECT_EQ( metric.cell_value( cell( grid, 2, j ) ), 1 );
        }
        EXPECT_FALSE( metric.is_cell_painted( cell( grid, 6, 0 ) ) );
        EXPECT_EQ( metric.cell_value( cell( grid, 6, 0 ) ), 10 );
        EXPECT_EQ( metric.metric( at( 2.7, 3.2 ), Vector2D{} ), 1 );
        EXPECT_EQ( metric.metric( at( 7, 7 ), Vector2D{ { 1, 0 } } ), 10 );
        // Outside the grid: the nearest cell.
        EXPECT_EQ( metric.metric( at( -5, 0.5 ), Vector2D{} ), 20 );
        EXPECT_EQ( metric.metric( at( 2.5, 100 ), Vector2D{} ), 10 );

        metric.paint_segment( Segment2D{ at( 0.5, 0.5 ), at( 0.6, 0.6 ) }, 50, 1 );
        EXPECT_EQ( metric.cell_value( cell( grid, 0, 0 ) ), 50 );
        metric.paint_segment( Segment2D{ at( 0.5, 0.5 ), at( 0.6, 0.6 ) }, 7, 2 );
        EXPECT_EQ( metric.cell_value( cell( grid, 0, 0 ) ), 7 );
    }

    TEST( GridMetric, a_diagonal_through_grid_nodes_paints_the_cells_touching_them )
    {
        const auto grid = unit_grid( 4, 4 );
        GridMetric2D metric{ grid, 10 };
        metric.paint_segment( Segment2D{ at( 0.5, 0.5 ), at( 2.5, 2.5 ) }, 1, 0 );
        std::set< std::pair< index_t, index_t > > painted;
        for( index_t j = 0; j < 4; j++ )
        {
            for( index_t i = 0; i < 4; i++ )
            {
                if( metric.is_cell_painted( cell( grid, i, j ) ) )
                {
                    painted.emplace( i, j );
                }
            }
        }
        EXPECT_THAT( painted, testing::UnorderedElementsAre( std::make_pair( 0u, 0u ),
                                  std::make_pair( 1u, 0u ), std::make_pair( 0u, 1u ),
                                  std::make_pair( 1u, 1u ), std::make_pair( 2u, 1u ),
                                  std::make_pair( 1u, 2u ), std::make_pair( 2u, 2u ) ) );
    }

    TEST( GridMetric, painted_cells_match_brute_force_on_random_segments )
    {
        const LightRegularGrid2D grid{ at( -1, 2 ), { 17, 11 }, { 0.7, 1.3 } };
        std::mt19937 random{ 3 };
        std::uniform_real_distribution< double > x{ -4, 14 };
        std::uniform_real_distribution< double > y{ -1, 18 };
        for( index_t trial = 0; trial < 200; trial++ )
        {
            GridMetric2D metric{ grid, 5 };
            const Segment2D segment{ at( x( random ), y( random ) ),
                at( x( random ), y( random ) ) };
            metric.paint_segment( segment, 1, 0 );
            for( index_t index = 0; index < grid.nb_cells(); index++ )
            {
                const auto box = grid.cell_bounding_box( grid.cell_indices( index ) );
                if( segment_meets_box( segment, box, -1e-9 ) )
                {
                    EXPECT_TRUE( metric.is_cell_painted( index ) )
                        << "trial " << trial << " cell " << index;
                }
                if( !segment_meets_box( segment, box, 1e-9 ) )
                {
                    EXPECT_FALSE( metric.is_cell_painted( index ) )
                        << "trial " << trial << " cell " << index;
                }
            }
        }
    }

    TEST( GridMetric, gradation_bounds_the_ratio_of_neighbours )
    {
        const auto grid = unit_grid( 9, 7 );
        GridMetric2D metric{ grid, 100 };
        metric.paint_segment( Segment2D{ at( 4.5, 3.5 ), at( 4.5, 3.5 ) }, 1, 0 );
        metric.paint_segment( Segment2D{ at( 0.5, 0.5 ), at( 0.5, 0.5 ) }, 2, 0 );
        metric.optimize( 1.2, 0 );
        for( index_t j = 0; j < 7; j++ )
        {
            for( index_t i = 0; i < 9; i++ )
            {
                const auto steps0 = std::max( std::abs( int( i ) - 4 ), std::abs( int( j ) - 3 ) );
                const auto steps1 = std::max( i, j );
                const auto expected = std::min( { 100., std::pow( 1.2, steps0 ),
                    2 * std::pow( 1.2, steps1 ) } );
                EXPECT_NEAR( metric.cell_value( cell( grid, i, j ) ), expected, 1e-12 * expected )
                    << i << " " << j;
                for( int dj = -1; dj <= 1; dj++ )
                {
                    for( int di = -1; di <= 1; di++ )
                    {
                        const auto ni = int( i ) + di;
                        const auto nj = int( j ) + dj;
                        if( ni < 0 || nj < 0 || ni >= 9 || nj >= 7 )
                        {
                            continue;
                        }
                        EXPECT_LE( metric.cell_value( cell( grid, i, j ) ),
                            1.2 * metric.cell_value( cell( grid, index_t( ni ), index_t( nj ) ) ) );
                    }
                }
            }
        }
    }

    TEST( GridMetric, gradation_matches_brute_force_on_random_values )
    {
        const auto grid = unit_grid( 13, 8 );
        GridMetric2D metric{ grid, 50 };
        std::mt19937 random{ 11 };
        std::uniform_real_distribution< double > value{ 0.5, 60 };
        std::vector< double > initial( grid.nb_cells() );
        for( index_t index = 0; index < grid.nb_cells(); index++ )
        {
            const auto center = grid.cell_barycenter( grid.cell_indices( index ) );
            initial[index] = value( random );
            metric.paint_segment( Segment2D{ center, center }, initial[index], 2 );
        }
        metric.optimize( 1.5, 0 );
        for( index_t index = 0; index < grid.nb_cells(); index++ )
        {
            const auto target = grid.cell_indices( index );
            double expected{ initial[index] };
            for( index_t source = 0; source < grid.nb_cells(); source++ )
            {
                const auto from = grid.cell_indices( source );
                const auto steps = std::max( std::abs( int( from[0] ) - int( target[0] ) ),
                    std::abs( int( from[1] ) - int( target[1] ) ) );
                expected = std::min( expected, initial[source] * std::pow( 1.5, steps ) );
            }
            EXPECT_NEAR( metric.cell_value( index ), expected, 1e-12 * expected ) << index;
        }
    }

    TEST( GridMetric, bad_arguments_are_refused )
    {
        const auto grid = unit_grid( 2, 2 );
        EXPECT_THROW( GridMetric2D( grid, 0 ), TessarkException );
        GridMetric2D metric{ grid, 1 };
        EXPECT_THROW( metric.paint_segment( Segment2D{ at( 0, 0 ), at( 1, 1 ) }, 1, 3 ),
            TessarkException );
        EXPECT_THROW( metric.paint_segment( Segment2D{ at( 0, 0 ), at( 1, 1 ) }, -1, 0 ),
            TessarkException );
        EXPECT_THROW( metric.optimize( 0.5, 0 ), TessarkException );
        EXPECT_THROW( metric.optimize( 1.2, 1 ), TessarkException );
    }
} // namespace brevane::internal
