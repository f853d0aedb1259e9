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

    template < index_t D >
    std::vector< SurfaceEdge< D > > all_polygon_edges(
        const SurfaceMesh< D >& surface )
    {
        std::vector< SurfaceEdge< D > > edges;
        edges.reserve( 3 * std::size_t{ surface.nb_polygons() } );
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            for( local_index_t local = 0;
                 local < surface.nb_polygon_vertices( polygon ); local++ )
            {
                edges.emplace_back( surface, PolygonEdge{ polygon, local } );
            }
        }
        return edges;
    }

    template struct SurfaceEdge< 2 >;
    template std::vector< SurfaceEdge< 2 > > all_polygon_edges(
        const SurfaceMesh< 2 >& );
} // namespace brevane
