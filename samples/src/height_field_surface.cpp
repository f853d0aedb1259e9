#include <samples/height_field_surface.h>

#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane
{
    std::unique_ptr< TriangulatedSurface< 3 > > height_field_surface(
        index_t nb_squares, const std::function< double( double, double ) >& height )
    {
        auto mesh = TriangulatedSurface< 3 >::create();
        auto builder = TriangulatedSurfaceBuilder< 3 >::create( *mesh );
        for( index_t j = 0; j <= nb_squares; j++ )
        {
            for( index_t i = 0; i <= nb_squares; i++ )
            {
                builder->create_point( Point3D{
                    { double( i ), double( j ), height( double( i ), double( j ) ) } } );
            }
        }
        const auto vertex = [nb_squares]( index_t i, index_t j ) {
            return j * ( nb_squares + 1 ) + i;
        };
        for( index_t j = 0; j < nb_squares; j++ )
        {
            for( index_t i = 0; i < nb_squares; i++ )
            {
                builder->create_triangle(
                    { vertex( i, j ), vertex( i + 1, j ), vertex( i + 1, j + 1 ) } );
                builder->create_triangle(
                    { vertex( i, j ), vertex( i + 1, j + 1 ), vertex( i, j + 1 ) } );
            }
        }
        builder->compute_polygon_adjacencies();
        return mesh;
    }
} // namespace brevane
