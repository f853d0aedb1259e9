#include <tessark/mesh/polygonal_surface_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    template < index_t D >
    PolygonalSurfaceBuilder< D >::PolygonalSurfaceBuilder(
        PolygonalSurface< D >& mesh )
        : SurfaceMeshBuilder< D >( mesh )
    {
    }

    template < index_t D >
    std::unique_ptr< PolygonalSurfaceBuilder< D > >
    PolygonalSurfaceBuilder< D >::create( PolygonalSurface< D >& mesh )
    {
        return create_mesh_builder< PolygonalSurfaceBuilder< D > >( mesh );
    }

    template class PolygonalSurfaceBuilder< 2 >;
    template class PolygonalSurfaceBuilder< 3 >;
} // namespace brevane
