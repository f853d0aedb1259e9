#include "background_fixture.h"

#include <cmath>

namespace brevane::internal::test
{
    double height_at( const Point2D& point )
    {
        return 3 + point.value( 0 ) + 2 * point.value( 1 );
    }

    BackgroundFixture::BackgroundFixture(
        std::unique_ptr< TriangulatedSurface2D > triangulation )
        : surface( std::move( triangulation ) ),
          surface_builder( TriangulatedSurfaceBuilder2D::create( *surface ) )
    {
        auto heights = surface->vertex_attribute_manager()
                           .find_or_create_attribute< VariableAttribute, double >(
                               "z_coordinate", std::nan( "" ),
                               { false, true, true } );
        for( index_t vertex = 0; vertex < surface->nb_vertices(); vertex++ )
        {
            heights->set_value( vertex, height_at( surface->point( vertex ) ) );
        }
        auto ids = surface->polygon_attribute_manager()
                       .find_or_create_attribute< VariableAttribute,
                           std::vector< uuid > >(
                           "surface_ids", std::vector< uuid >{}, { true, false, true } );
        background = std::make_unique< BackgroundSurface >( *surface );
        background_builder =
            std::make_unique< BackgroundSurfaceBuilder >( *background );
        for( index_t polygon = 0; polygon < surface->nb_polygons(); polygon++ )
        {
            ids->set_value( polygon, { top } );
            background_builder->add_macro_element_info( { top, polygon }, polygon );
        }
        modifier = std::make_unique< BackgroundSurfaceModifier >(
            *background, *background_builder, *surface_builder );
    }

    double BackgroundFixture::height( index_t vertex ) const
    {
        return surface->vertex_attribute_manager()
            .find_attribute< double >( "z_coordinate" )
            ->value( vertex );
    }

    const std::vector< uuid >& BackgroundFixture::surface_ids(
        index_t polygon ) const
    {
        return surface->polygon_attribute_manager()
            .find_attribute< std::vector< uuid > >( "surface_ids" )
            ->value( polygon );
    }

    std::unique_ptr< TriangulatedSurface2D > make_triangulation(
        const std::vector< Point2D >& points,
        const std::vector< std::array< index_t, 3 > >& triangles )
    {
        auto surface = TriangulatedSurface2D::create();
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        for( const auto& point : points )
        {
            builder->create_point( point );
        }
        for( const auto& triangle : triangles )
        {
            builder->create_triangle( triangle );
        }
        builder->compute_polygon_adjacencies();
        return surface;
    }
} // namespace brevane::internal::test
