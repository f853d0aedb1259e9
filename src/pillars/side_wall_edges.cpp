#include "pillars/side_wall_edges.h"

#include <algorithm>

#include <tessark/model/component_mesh_edges.h>

#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        bool shares_edge(
            const ComponentMeshEdges& shared, const uuid& surface )
        {
            return std::any_of( shared.surface_edges.begin(),
                shared.surface_edges.end(),
                [&surface]( const auto& edges )
                {
                    return edges.first == surface;
                } );
        }

        bool is_shared_with_a_layer(
            const ComponentMeshEdges& shared, absl::Span< const uuid > layers )
        {
            return std::any_of( layers.begin(), layers.end(),
                [&shared]( const uuid& layer )
                {
                    return shares_edge( shared, layer );
                } );
        }
    } // namespace

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

    std::optional< PolygonEdge > find_layer_border_edge(
        const SideWallContext& context, const uuid& wall, index_t vertex,
        absl::Span< const uuid > layers )
    {
        const auto& surface = context.model.surface( wall );
        const auto& mesh = surface.mesh();
        for( const auto& corner : mesh.polygons_around_vertex( vertex ) )
        {
            const auto polygon = corner.polygon_id;
            for( local_index_t index = 0;
                 index < mesh.nb_polygon_vertices( polygon ); index++ )
            {
                const PolygonEdge edge{ polygon, index };
                if( !mesh.is_edge_on_border( edge ) )
                {
                    continue;
                }
                const auto shared =
                    component_mesh_edges( context.model, surface, edge );
                if( is_shared_with_a_layer( shared, layers )
                    && shares_edge( shared, wall ) )
                {
                    return edge;
                }
            }
        }
        return std::nullopt;
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

    bool is_shared_edge_reversed( const SideWallContext& context,
        const ModelSurfaceEdge& first, const ModelSurfaceEdge& second )
    {
        const auto& model = context.model;
        return edge_unique_vertices(
                   model, model.surface( first.surface ), first.edge )
               != edge_unique_vertices(
                   model, model.surface( second.surface ), second.edge );
    }

    bool layer_border_orientation( const SideWallContext& context,
        const uuid& wall, index_t vertex, absl::Span< const uuid > layers,
        std::string_view no_neighbour_message )
    {
        const auto border =
            find_layer_border_edge( context, wall, vertex, layers );
        TESSARK_EXCEPTION( border.has_value(), "polygon edge not found" );
        const auto neighbour =
            other_model_boundary_edge( context, wall, *border );
        TESSARK_EXCEPTION( neighbour.has_value(), no_neighbour_message );
        return is_shared_edge_reversed(
            context, *neighbour, ModelSurfaceEdge{ wall, *border } );
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
