#include "surface_mesh_copy.h"

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane::cli
{
    std::unique_ptr< SurfaceMesh< 3 > > copy_surface_mesh(
        const SurfaceMesh< 3 >& mesh )
    {
        if( const auto* triangles =
                dynamic_cast< const TriangulatedSurface< 3 >* >( &mesh ) )
        {
            return triangles->clone();
        }
        if( const auto* polygons =
                dynamic_cast< const PolygonalSurface< 3 >* >( &mesh ) )
        {
            return polygons->clone();
        }
        return nullptr;
    }
} // namespace brevane::cli
