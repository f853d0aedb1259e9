#include "pillars/border_pillar.h"

#include "pillars/side_wall_edges.h"
#include "pillars/side_wall_walk.h"

namespace brevane::internal
{
    namespace
    {
        Vector2D unit_direction(
            const TriangulatedSurface2D& plan_view, const PolygonEdge& edge )
        {
            return plan_view.segment( edge ).direction().normalize();
        }

        // The surface vertex the plan-view vertex comes from: its first
        // macro vertex, a vertex of a top surface.
        index_t top_unique_vertex( const PillarContext& context )
        {
            const auto& model = context.model.model;
            const auto vertex = context.pillar.vertex;
            const auto& origins =
                context.model.background_surface.macro_vertices( vertex );
            TESSARK_EXCEPTION( !origins.empty(),
                "[define_border_pillar] The plan-view border vertex at ",
                context.pillar.top.string(),
                " stands for no vertex of a top surface. Check that the top "
                "surfaces' borders meet the side walls along lines." );
            const auto& origin = origins.front();
            const auto unique = model.unique_vertex(
                { { component_types::surface(), origin.mesh_id },
                    origin.vertex } );
            TESSARK_EXCEPTION( unique != NO_ID,
                "[define_border_pillar] The plan-view border vertex at ",
                context.pillar.top.string(), " comes from vertex ",
                origin.vertex, " of top surface \"",
                model.surface( origin.mesh_id ).name(), "\" (",
                origin.mesh_id.string(),
                "), which is bound to no unique vertex. Check that the top "
                "surface's vertices are shared with the side walls." );
            return unique;
        }
    } // namespace

    Plane border_cutting_plane(
        const TriangulatedSurface2D& plan_view, const Pillar& pillar )
    {
        for( const auto& corner :
            plan_view.polygons_around_vertex( pillar.vertex ) )
        {
            const PolygonEdge outgoing{ corner };
            if( !plan_view.is_edge_on_border( outgoing ) )
            {
                continue;
            }
            const auto incoming = plan_view.previous_on_border( outgoing );
            const auto normal = unit_direction( plan_view, incoming )
                                + unit_direction( plan_view, outgoing );
            return Plane{ Vector3D{
                              { normal.value( 0 ), normal.value( 1 ), 0 } },
                pillar.top };
        }
        throw TessarkException{ "[border_cutting_plane] The plan view of the "
                                "top surfaces has no border edge at ",
            pillar.top.string(),
            ", where a border pillar stands. Check that the top surfaces "
            "do not fold over themselves near their border." };
    }

    SideWallRecords walk_side_walls( const PillarContext& context )
    {
        const auto& model_context = context.model;
        const SideWallContext walls{ model_context.model,
            model_context.top_surfaces, model_context.bottom_surfaces,
            context.pillar.top };
        const auto plane = border_cutting_plane(
            model_context.background_surface.surface(), context.pillar );
        const auto unique = top_unique_vertex( context );
        SideWallRecords records;
        record_vertex_components(
            walls, unique, records.known_points, records.lines );
        for( const auto& vertex :
            model_context.model.component_mesh_vertices( unique ) )
        {
            const auto& wall = vertex.component_id.id();
            if( vertex.component_id.type().get() != "Surface"
                || !is_side_wall( walls, wall ) )
            {
                continue;
            }
            for( const auto direction :
                { CutDirection::up, CutDirection::down } )
            {
                walk_side_wall( walls, plane, direction, wall, vertex.vertex,
                    records.known_points, records.lines );
            }
        }
        return records;
    }

    void define_border_pillar( const PillarContext& context )
    {
        const auto records = walk_side_walls( context );
        context.pillar.lines.insert(
            records.lines.begin(), records.lines.end() );
        complete_pillar_intersections( context, records.known_points );
    }
} // namespace brevane::internal
