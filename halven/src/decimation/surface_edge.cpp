#include <halven/decimation/surface_edge.h>

#include <utility>

namespace brevane
{
    template < index_t D >
    SurfaceEdge< D >::SurfaceEdge(
        const SurfaceMesh< D >& surface, const PolygonEdge& edge )
        : polygon_edge( edge ),
          vertices( surface.polygon_edge_vertices( edge ) )
    {
        if( vertices[1] < vertices[0] )
        {
            std::swap( vertices[0], vertices[1] );
        }
    }

    template struct SurfaceEdge< 2 >;
} // namespace brevane
