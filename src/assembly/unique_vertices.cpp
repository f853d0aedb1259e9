#include "assembly/unique_vertices.h"

#include <algorithm>
#include <cstdint>

namespace brevane::internal
{
    namespace
    {
        // A surface may be rebuilt over a pillar that does not list it: where
        // two surfaces of one level meet on a line the plan view does not
        // trace (the bottom pieces on each side of a fault, say), the pillar
        // meets one of them, and the other takes that point as its level
        // point. Its vertex stands on that node and shares its unique
        // vertex.
        void bind_vertices_on_pillar_nodes( const AssemblyContext& context,
            const SurfaceVerticesOnPillar& on_pillar, index_t top_vertex )
        {
            const auto& model = context.model;
            for( const auto& [surface, vertex] : on_pillar )
            {
                const ComponentMeshVertex surface_vertex{
                    { component_types::surface(), surface }, vertex
                };
                if( model.unique_vertex( surface_vertex ) != NO_ID )
                {
                    continue;
                }
                const auto& component = model.surface( surface );
                const auto& point = component.mesh().point( vertex );
                index_t node{ NO_ID };
                for( const auto& intersection :
                    context.pillars.at( top_vertex ).intersections )
                {
                    if( intersection.point.inexact_equal( point ) )
                    {
                        node = model.unique_vertex( pillar_surface_vertex(
                            on_pillar, top_vertex, intersection.surface ) );
                        break;
                    }
                }
                TESSARK_EXCEPTION( node != NO_ID,
                    "[PillarStructuralModelBuilder] Surface ", component.name(),
                    " (", surface.string(),
                    ") was rebuilt on the pillar of plan-view vertex ",
                    top_vertex, " at ", point.string(),
                    ", where the pillar has no node" );
                context.builder.set_unique_vertex( surface_vertex, node );
            }
        }
    } // namespace

    ComponentMeshVertex pillar_surface_vertex(
        const TopVertexSurfaceVertices& surface_vertices, index_t top_vertex,
        const uuid& surface )
    {
        return pillar_surface_vertex(
            surface_vertices.at( top_vertex ), top_vertex, surface );
    }

    ComponentMeshVertex pillar_surface_vertex(
        const SurfaceVerticesOnPillar& on_pillar, index_t top_vertex,
        const uuid& surface )
    {
        for( const auto& [vertex_surface, vertex] : on_pillar )
        {
            if( vertex_surface == surface )
            {
                return { { component_types::surface(), surface }, vertex };
            }
        }
        throw TessarkException{ "[PillarStructuralModelBuilder] Surface ",
            surface.string(), " meets the pillar of plan-view vertex ",
            top_vertex,
            " but was not rebuilt there: no plan-view triangle at that vertex "
            "lists it (are its boundary lines all in the model?)" };
    }

    void create_unique_vertices( const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices )
    {
        const auto nb_top_vertices =
            context.background_surface.surface().nb_vertices();
        // All unique vertices are made at once: one per pillar (the top
        // nodes), then one per change of point down each pillar. Only
        // consecutive nodes are compared: a pillar that leaves a point and
        // comes back to it gets a new unique vertex there.
        // A missing pillar is left for the bindings below to report, after
        // binding what comes before it.
        std::uint64_t nb_created{ nb_top_vertices };
        const auto nb_pillars = std::min< std::size_t >(
            nb_top_vertices, context.pillars.size() );
        for( std::size_t top_vertex = 0; top_vertex < nb_pillars; top_vertex++ )
        {
            const auto& intersections =
                context.pillars[top_vertex].intersections;
            for( std::size_t below = 1; below < intersections.size(); below++ )
            {
                if( !intersections[below - 1].point.inexact_equal(
                        intersections[below].point ) )
                {
                    nb_created++;
                }
            }
        }
        // Index i names the top of pillar i. The first created index is not
        // that when the model already had unique vertices: creating one per
        // pillar only makes sure that index i exists.
        TESSARK_EXCEPTION( nb_created < NO_ID,
            "[PillarStructuralModelBuilder] Too many pillar nodes: ",
            nb_created );
        const auto first_created = context.builder.create_unique_vertices(
            static_cast< index_t >( nb_created ) );
        // Each surface vertex stands on one pillar, so the pillars can be
        // bound one after the other, top node first: every unique vertex
        // lists its vertices in the same order as when all the tops are
        // bound before the rest.
        auto next = first_created + nb_top_vertices;
        for( index_t top_vertex = 0; top_vertex < nb_top_vertices;
             top_vertex++ )
        {
            const auto& intersections =
                context.pillars.at( top_vertex ).intersections;
            const auto& on_pillar = surface_vertices.at( top_vertex );
            context.builder.set_unique_vertex(
                pillar_surface_vertex( on_pillar, top_vertex,
                    intersections.at( 0 ).surface ),
                top_vertex );
            auto current = top_vertex;
            for( std::size_t below = 1; below < intersections.size(); below++ )
            {
                const auto& lower = intersections[below];
                if( !intersections[below - 1].point.inexact_equal(
                        lower.point ) )
                {
                    current = next++;
                }
                context.builder.set_unique_vertex(
                    pillar_surface_vertex( on_pillar, top_vertex, lower.surface ),
                    current );
            }
            bind_vertices_on_pillar_nodes( context, on_pillar, top_vertex );
        }
    }
} // namespace brevane::internal
