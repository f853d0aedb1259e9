#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <pillar/metric.h>

namespace brevane
{
    namespace
    {
        // A grid of n x n unit squares split into triangles, with the
        // squares of the first column split again at their middle height,
        // so that edges of length 0.5 run along x = 0 .. 1.
        std::unique_ptr< TriangulatedSurface< 2 > > grid_with_fine_column(
            index_t n )
        {
            auto surface = TriangulatedSurface< 2 >::create();
            auto builder = TriangulatedSurfaceBuilder< 2 >::create( *surface );
            for( index_t j = 0; j <= n; j++ )
            {
                for( index_t i = 0; i <= n; i++ )
                {
                    builder->create_point( Point2D{ { static_cast< double >( i ),
                        static_cast< double >( j ) } } );
                }
            }
            const auto vertex = [n]( index_t i, index_t j ) {
                return j * ( n + 1 ) + i;
            };
            for( index_t j = 0; j < n; j++ )
            {
                for( index_t i = 0; i < n; i++ )
                {
                    if( i == 0 )
                    {
                        const auto middle = builder->create_point(
                            Point2D{ { 0.5, j + 0.5 } } );
                        builder->create_triangle(
                            { vertex( 0, j ), vertex( 1, j ), middle } );
                        builder->create_triangle(
                            { vertex( 1, j ), vertex( 1, j + 1 ), middle } );
                        builder->create_triangle(
                            { vertex( 1, j + 1 ), vertex( 0, j + 1 ), middle } );
                        builder->create_triangle(
                            { vertex( 0, j + 1 ), vertex( 0, j ), middle } );
                        continue;
                    }
                    builder->create_triangle(
                        { vertex( i, j ), vertex( i + 1, j ), vertex( i + 1, j + 1 ) } );
                    builder->create_triangle(
                        { vertex( i, j ), vertex( i + 1, j + 1 ), vertex( i, j + 1 ) } );
                }
            }
            builder->compute_polygon_adjacencies();
            return surface;
        }
    } // namespace

    TEST( TopSurfaceMetric, follows_the_local_edge_length_with_a_bounded_gradation )
    {
        const auto surface = grid_with_fine_column( 12 );
        const auto metric = internal::create_top_surface_metric( *surface );
        const Vector2D none;
        // The shortest edges (half diagonals, about 0.707) are in the first
        // column; far from it, the field may not exceed the 1.2 gradation
        // from there, nor the unit edges painted everywhere.
        const auto fine = metric.grid_metric.metric( Point2D{ { 0.5, 6.1 } }, none );
        EXPECT_NEAR( fine, std::sqrt( 0.5 ), 1e-9 );
        const auto far = metric.grid_metric.metric( Point2D{ { 11.5, 6.1 } }, none );
        EXPECT_LE( far, 1.0 + 1e-9 );
        EXPECT_GT( far, fine );
        // Gradation: moving one cell away multiplies the value by 1.2 at most.
        const auto cell = metric.grid.cell_length_in_direction( 0 );
        for( double x = 0.5; x + cell < 11.5; x += cell )
        {
            const auto here = metric.grid_metric.metric( Point2D{ { x, 6.1 } }, none );
            const auto next =
                metric.grid_metric.metric( Point2D{ { x + cell, 6.1 } }, none );
            EXPECT_LE( next, 1.2 * here + 1e-9 ) << x;
        }
    }

    TEST( TopSurfaceMetric, an_empty_plan_view_is_refused_clearly )
    {
        const auto surface = TriangulatedSurface< 2 >::create();
        EXPECT_THROW(
            (void) internal::create_top_surface_metric( *surface ), TessarkException );
    }
} // namespace brevane
