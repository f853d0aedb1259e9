#include <halven/decimation/background_surface_all_non_macro_vertex.h>

namespace brevane::internal
{
    BackgroundSurfaceAllNonMacroVertex::BackgroundSurfaceAllNonMacroVertex(
        const BackgroundSurface& background )
        : background_( background )
    {
    }

    BackgroundSurfaceAllNonMacroVertex::~BackgroundSurfaceAllNonMacroVertex() =
        default;

    bool BackgroundSurfaceAllNonMacroVertex::skip_edge(
        const TriangulatedSurface2D& surface, const PolygonEdge& edge ) const
    {
        const auto vertices = surface.polygon_edge_vertices( edge );
        return !is_removable( surface, vertices[0] )
               && !is_removable( surface, vertices[1] );
    }

    bool BackgroundSurfaceAllNonMacroVertex::is_removable(
        const TriangulatedSurface2D& surface, index_t vertex ) const
    {
        return background_.macro_vertices( vertex ).empty()
               && !surface.is_vertex_on_border( vertex );
    }
} // namespace brevane::internal
