#include "pillars/side_wall_edges.h"

#include <algorithm>

#include <tessark/model/component_mesh_edges.h>

#include "pillars/surface_groups.h"

namespace brevane::internal
{
    index_t surface_unique_vertex(
        const SideWallContext& context, const uuid& surface, index_t vertex )
    {
        const auto& component = context.model.surface( surface );
        const auto unique =
            context.model.unique_vertex( { component.component_id(), vertex } );
        TESSARK_EXCEPTION( unique != NO_ID, "[define_border_pillar] Vertex ",
            vertex, " of surface ", component.name(), " (", surface.string(),
            ") is bound to no unique vertex" );
        return unique;
    }

    std::optional< ModelSurfaceEdge > other_model_boundary_edge(
        const SideWallContext& context, const uuid& wall,
        const PolygonEdge& edge )
    {
        const auto shared = component_mesh_edges(
            context.model, context.model.surface( wall ), edge );
        for( const auto& [surface, edges] : shared.surface_edges )
        {
            if( surface != wall && is_model_boundary( context, surface ) )
            {
                return ModelSurfaceEdge{ surface, edges.front() };
            }
        }
        return std::nullopt;
    }

    bool reaches_top_or_bottom(
        const SideWallContext& context, const uuid& wall, const PathStep& step )
    {
        const auto& model = context.model;
        if( !step.is_at_vertex() )
        {
            const auto shared =
                component_mesh_edges( model, model.surface( wall ), step.edge );
            return std::any_of( shared.surface_edges.begin(),
                shared.surface_edges.end(),
                [&context]( const auto& edges )
                {
                    return is_top_or_bottom_surface( context, edges.first );
                } );
        }
        const auto unique = surface_unique_vertex( context, wall, step.vertex );
        for( const auto& vertex : model.component_mesh_vertices( unique ) )
        {
            if( vertex.component_id.type().get() != "Line" )
            {
                continue;
            }
            for( const auto& incidence :
                model.incidences( vertex.component_id.id() ) )
            {
                if( incidence.type().get() == "Surface"
                    && is_top_or_bottom_surface( context, incidence.id() ) )
                {
                    return true;
                }
            }
        }
        return false;
    }
} // namespace brevane::internal
