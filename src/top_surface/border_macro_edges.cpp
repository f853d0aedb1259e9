#include "top_surface/border_macro_edges.h"

#include <halven/background/background_surface_builder.h>

namespace brevane::internal
{
    void add_border_macro_edges(
        BackgroundSurface& background, const PillarMap& pillars )
    {
        const auto& surface = background.surface();
        BackgroundSurfaceBuilder builder{ background };
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            for( local_index_t local = 0; local < 3; local++ )
            {
                const PolygonEdge polygon_edge{ polygon, local };
                if( !surface.is_edge_on_border( polygon_edge ) )
                {
                    continue;
                }
                const auto ends = surface.polygon_edge_vertices( polygon_edge );
                const auto& first_lines = pillars.at( ends[0] ).lines;
                const auto& second_lines = pillars.at( ends[1] ).lines;
                const std::array< index_t, 1 > edge{ surface.polygon_edge(
                    polygon_edge ) };
                // Both sets are ordered, so the records come in uuid order.
                for( const auto& line : first_lines )
                {
                    if( second_lines.contains( line ) )
                    {
                        builder.add_macro_edge_info( { line, NO_ID }, edge );
                    }
                }
            }
        }
    }
} // namespace brevane::internal
