#include <halven/path/surface_path_finder.h>

namespace brevane
{
    template < index_t D >
    SurfacePathFinder< D >::SurfacePathFinder( const SurfaceMesh< D >& surface )
        : surface_( &surface )
    {
    }

    template < index_t D >
    SurfacePathFinder< D >::~SurfacePathFinder() = default;

    template class SurfacePathFinder< 2 >;
    template class SurfacePathFinder< 3 >;
} // namespace brevane
