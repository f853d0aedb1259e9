#include "support/mesh_fixtures.h"

#include <cmath>
#include <numbers>
#include <vector>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane::test
{
    namespace
    {
        template < index_t D >
        std::unique_ptr< TriangulatedSurface< D > > fan(
            index_t nb_triangles, double angle_step, bool closed )
        {
            auto surface = TriangulatedSurface< D >::create();
            auto builder = TriangulatedSurfaceBuilder< D >::create( *surface );
            builder->create_point( planar_point< D >( 0, 0 ) );
            const auto nb_rim = closed ? nb_triangles : nb_triangles + 1;
            for( index_t rim = 0; rim < nb_rim; rim++ )
            {
                const auto angle = angle_step * rim;
                builder->create_point(
                    planar_point< D >( std::cos( angle ), std::sin( angle ) ) );
            }
            for( index_t triangle = 0; triangle < nb_triangles; triangle++ )
            {
                builder->create_triangle(
                    { 0, triangle + 1, ( triangle + 1 ) % nb_rim + 1 } );
            }
            builder->compute_polygon_adjacencies();
            return surface;
        }

        // Triangulates the unit squares of an nb_x * nb_y grid kept by the
        // predicate; only the vertices of kept squares are created, in grid
        // order.
        template < index_t D, typename Keep >
        std::unique_ptr< TriangulatedSurface< D > > square_triangles(
            index_t nb_x, index_t nb_y, const Keep& keep )
        {
            auto surface = TriangulatedSurface< D >::create();
            auto builder = TriangulatedSurfaceBuilder< D >::create( *surface );
            const auto grid_index = [nb_x]( index_t x, index_t y ) {
                return y * ( nb_x + 1 ) + x;
            };
            std::vector< bool > used( ( nb_x + 1 ) * ( nb_y + 1 ), false );
            for( index_t y = 0; y < nb_y; y++ )
            {
                for( index_t x = 0; x < nb_x; x++ )
                {
                    if( keep( x, y ) )
                    {
                        used[grid_index( x, y )] = true;
                        used[grid_index( x + 1, y )] = true;
                        used[grid_index( x, y + 1 )] = true;
                        used[grid_index( x + 1, y + 1 )] = true;
                    }
                }
            }
            std::vector< index_t > vertex_of( used.size(), NO_ID );
            for( index_t y = 0; y <= nb_y; y++ )
            {
                for( index_t x = 0; x <= nb_x; x++ )
                {
                    if( used[grid_index( x, y )] )
                    {
                        vertex_of[grid_index( x, y )] =
                            builder->create_point( planar_point< D >( x, y ) );
                    }
                }
            }
            for( index_t y = 0; y < nb_y; y++ )
            {
                for( index_t x = 0; x < nb_x; x++ )
                {
                    if( !keep( x, y ) )
                    {
                        continue;
                    }
                    const auto v00 = vertex_of[grid_index( x, y )];
                    const auto v10 = vertex_of[grid_index( x + 1, y )];
                    const auto v11 = vertex_of[grid_index( x + 1, y + 1 )];
                    const auto v01 = vertex_of[grid_index( x, y + 1 )];
                    builder->create_triangle( { v00, v10, v11 } );
                    builder->create_triangle( { v00, v11, v01 } );
                }
            }
            builder->compute_polygon_adjacencies();
            return surface;
        }
    } // namespace

    template < index_t D >
    Point< D > planar_point( double x, double y )
    {
        Point< D > point;
        point.set_value( 0, x );
        point.set_value( 1, y );
        return point;
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > closed_fan()
    {
        return fan< D >( 6, std::numbers::pi / 3, true );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > open_fan()
    {
        return fan< D >( 4, std::numbers::pi / 4, false );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > square_ring()
    {
        return square_triangles< D >(
            3, 3, []( index_t x, index_t y ) { return x != 1 || y != 1; } );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > l_shape()
    {
        return square_triangles< D >(
            4, 4, []( index_t x, index_t y ) { return x < 2 || y < 2; } );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > grid_surface(
        index_t nb_x, index_t nb_y )
    {
        return square_triangles< D >(
            nb_x, nb_y, []( index_t, index_t ) { return true; } );
    }

    template < index_t D >
    std::unique_ptr< PolygonalSurface< D > > quad_grid( index_t nb_x, index_t nb_y )
    {
        auto surface = PolygonalSurface< D >::create();
        auto builder = PolygonalSurfaceBuilder< D >::create( *surface );
        for( index_t y = 0; y <= nb_y; y++ )
        {
            for( index_t x = 0; x <= nb_x; x++ )
            {
                builder->create_point( planar_point< D >( x, y ) );
            }
        }
        for( index_t y = 0; y < nb_y; y++ )
        {
            for( index_t x = 0; x < nb_x; x++ )
            {
                const auto v00 = y * ( nb_x + 1 ) + x;
                const auto v01 = v00 + nb_x + 1;
                builder->create_polygon(
                    std::vector< index_t >{ v00, v00 + 1, v01 + 1, v01 } );
            }
        }
        builder->compute_polygon_adjacencies();
        return surface;
    }

    template < index_t D >
    std::unique_ptr< EdgedCurve< D > > zigzag_polyline( index_t nb_edges )
    {
        auto curve = EdgedCurve< D >::create();
        auto builder = EdgedCurveBuilder< D >::create( *curve );
        for( index_t vertex = 0; vertex <= nb_edges; vertex++ )
        {
            builder->create_point( planar_point< D >( vertex, vertex % 2 ) );
        }
        for( index_t edge = 0; edge < nb_edges; edge++ )
        {
            builder->create_edge( edge, edge + 1 );
        }
        return curve;
    }

    template Point< 2 > planar_point< 2 >( double, double );
    template Point< 3 > planar_point< 3 >( double, double );
    template std::unique_ptr< TriangulatedSurface< 2 > > closed_fan< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > closed_fan< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > open_fan< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > open_fan< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > square_ring< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > square_ring< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > l_shape< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > l_shape< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > grid_surface< 2 >(
        index_t, index_t );
    template std::unique_ptr< TriangulatedSurface< 3 > > grid_surface< 3 >(
        index_t, index_t );
    template std::unique_ptr< PolygonalSurface< 2 > > quad_grid< 2 >(
        index_t, index_t );
    template std::unique_ptr< PolygonalSurface< 3 > > quad_grid< 3 >(
        index_t, index_t );
    template std::unique_ptr< EdgedCurve< 2 > > zigzag_polyline< 2 >( index_t );
    template std::unique_ptr< EdgedCurve< 3 > > zigzag_polyline< 3 >( index_t );
} // namespace brevane::test
