#include <tessark/mesh/triangulated_surface_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    template < index_t D >
    TriangulatedSurfaceBuilder< D >::TriangulatedSurfaceBuilder(
        TriangulatedSurface< D >& mesh )
        : SurfaceMeshBuilder< D >( mesh )
    {
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurfaceBuilder< D > >
    TriangulatedSurfaceBuilder< D >::create( TriangulatedSurface< D >& mesh )
    {
        return create_mesh_builder< TriangulatedSurfaceBuilder< D > >( mesh );
    }

    template < index_t D >
    index_t TriangulatedSurfaceBuilder< D >::create_triangle(
        const std::array< index_t, 3 >& vertices )
    {
        return this->create_polygon( vertices );
    }

    template class TriangulatedSurfaceBuilder< 2 >;
    template class TriangulatedSurfaceBuilder< 3 >;
} // namespace brevane
