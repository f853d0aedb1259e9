#include <vector>

#include "pillars/parallel_pillars.h"
#include "pillars/pillar_context.h"

namespace brevane::internal
{
    PillarMap define_pillars_before_decimation(
        const PillarModelContext& context, double top_z, double bottom_z )
    {
        const auto nb_vertices =
            context.background_surface.surface().nb_vertices();
        std::vector< index_t > selected;
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            if( needs_pillar_before_decimation( context, vertex ) )
            {
                selected.push_back( vertex );
            }
        }
        auto pillars =
            define_pillars_in_parallel( context, selected, top_z, bottom_z );
        PillarMap map;
        map.reserve( pillars.size() );
        for( auto& pillar : pillars )
        {
            const auto vertex = pillar.vertex;
            map.emplace( vertex, std::move( pillar ) );
        }
        return map;
    }
} // namespace brevane::internal
