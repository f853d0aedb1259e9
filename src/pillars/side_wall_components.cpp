#include "pillars/side_wall_components.h"

#include <algorithm>

#include <tessark/model/component_mesh_edges.h>

#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        bool contains( absl::Span< const uuid > ids, const uuid& id )
        {
            return std::find( ids.begin(), ids.end(), id ) != ids.end();
        }

        // The pillar's x and y at the height of the point.
        Point3D on_pillar(
            const SideWallContext& context, const Point3D& point )
        {
            return Point3D{ { context.pillar_top.value( 0 ),
                context.pillar_top.value( 1 ), point.value( 2 ) } };
        }
    } // namespace

    bool is_top_or_bottom_surface(
        const SideWallContext& context, const uuid& surface )
    {
        return contains( context.top_surfaces, surface )
               || contains( context.bottom_surfaces, surface );
    }

    bool is_model_boundary( const SideWallContext& context, const uuid& surface )
    {
        return is_top_or_bottom_surface( context, surface )
               || is_in_collection_of_type(
                   context.model, surface, "ModelBoundary" );
    }

    bool is_side_wall( const SideWallContext& context, const uuid& surface )
    {
        return is_in_collection_of_type(
                   context.model, surface, "ModelBoundary" )
               && !is_top_or_bottom_surface( context, surface );
    }

    bool is_layer_surface( const SideWallContext& context, const uuid& surface )
    {
        return is_top_or_bottom_surface( context, surface )
               || is_in_collection_of_type( context.model, surface, "Horizon" )
               || is_in_collection_of_type( context.model, surface, "Fault" );
    }

    void record_vertex_components( const SideWallContext& context,
        index_t unique_vertex, KnownPoints& known_points, LineSet& lines )
    {
        const auto& model = context.model;
        for( const auto& vertex :
            model.component_mesh_vertices( unique_vertex ) )
        {
            const auto& component = vertex.component_id;
            if( component.type().get() == "Surface" )
            {
                if( !is_side_wall( context, component.id() ) )
                {
                    const auto& mesh = model.surface( component.id() ).mesh();
                    known_points.try_emplace( component.id(),
                        on_pillar( context, mesh.point( vertex.vertex ) ) );
                }
            }
            else if( component.type().get() == "Line" )
            {
                lines.insert( component.id() );
            }
        }
    }

    void record_edge_components( const SideWallContext& context,
        const PolygonEdge& edge, const Point3D& point, const uuid& surface,
        KnownPoints& known_points, LineSet& lines )
    {
        const auto shared = component_mesh_edges(
            context.model, context.model.surface( surface ), edge );
        for( const auto& [id, edges] : shared.surface_edges )
        {
            if( !is_side_wall( context, id ) )
            {
                known_points.try_emplace( id, on_pillar( context, point ) );
            }
        }
        for( const auto& [id, edges] : shared.line_edges )
        {
            lines.insert( id );
        }
    }

    std::vector< uuid > layer_surfaces_at(
        const SideWallContext& context, index_t unique_vertex )
    {
        std::vector< uuid > result;
        for( const auto& vertex :
            context.model.component_mesh_vertices( unique_vertex ) )
        {
            const auto& component = vertex.component_id;
            if( component.type().get() == "Surface"
                && is_layer_surface( context, component.id() ) )
            {
                result.push_back( component.id() );
            }
        }
        return result;
    }
} // namespace brevane::internal
