#include "assembly/slice_collection_completion.h"

#include <string>
#include <string_view>
#include <vector>

#include <absl/strings/str_cat.h>

#include "assembly/slice_collection_fault_sides.h"
#include "assembly/slice_collection_items.h"
#include "assembly/slice_collection_topology.h"
#include "assembly/slice_collection_walks.h"

namespace brevane::internal
{
    namespace
    {
        // The line bounds both an item of the fault and one of the surfaces.
        bool joins( const AssemblyContext& context, const uuid& line,
            const uuid& fault, absl::Span< const uuid > surfaces )
        {
            bool bounds_fault{ false };
            bool bounds_listed{ false };
            for( const auto& surface : context.model.incidences( line ) )
            {
                bounds_fault = bounds_fault
                               || context.model.is_item( surface.id(), fault );
                bounds_listed =
                    bounds_listed || is_listed( surfaces, surface.id() );
            }
            return bounds_fault && bounds_listed;
        }

        std::optional< index_t > fault_border_vertex(
            const AssemblyContext& context, const uuid& fault,
            absl::Span< const uuid > surfaces )
        {
            const auto& plan_view = context.background_surface.surface();
            for( index_t vertex = 0; vertex < plan_view.nb_vertices();
                 vertex++ )
            {
                if( !plan_view.is_vertex_on_border( vertex ) )
                {
                    continue;
                }
                for( const auto& edge :
                    context.background_surface.incident_macro_edges( vertex ) )
                {
                    if( joins( context, edge.mesh_id, fault, surfaces ) )
                    {
                        return vertex;
                    }
                }
            }
            return std::nullopt;
        }

        std::string fault_name(
            const AssemblyContext& context, const uuid& fault )
        {
            return absl::StrCat( "fault \"",
                std::string{ context.model.fault( fault ).name() }, "\" (",
                fault.string(), ")" );
        }

        index_t required_border_vertex( const AssemblyContext& context,
            const uuid& fault, absl::Span< const uuid > surfaces,
            std::string_view kind )
        {
            const auto vertex = fault_border_vertex( context, fault, surfaces );
            TESSARK_EXCEPTION( vertex.has_value(),
                "[PillarStructuralModelBuilder] The ",
                fault_name( context, fault ), " meets no ", kind,
                " surface along a line through a border vertex of the plan "
                "view. Check that the fault's lines with the top and the "
                "bottom reach the side walls." );
            return *vertex;
        }

        // The first surface of the list met by the pillar of the vertex, in
        // pillar order.
        uuid first_met( const AssemblyContext& context, index_t vertex,
            const uuid& fault, absl::Span< const uuid > surfaces,
            std::string_view kind )
        {
            for( const auto& intersection :
                context.pillars.at( vertex ).intersections )
            {
                if( is_listed( surfaces, intersection.surface ) )
                {
                    return intersection.surface;
                }
            }
            const auto& top = context.pillars.at( vertex ).top;
            throw TessarkException{ "[PillarStructuralModelBuilder] The pillar "
                                    "at (",
                top.value( 0 ), ", ", top.value( 1 ), "), where the ",
                fault_name( context, fault ), " reaches the border, meets no ",
                kind,
                " surface. Check that the fault's lines with the top and the "
                "bottom reach the side walls." };
        }
    } // namespace

    void complete_horizon_collection( const AssemblyContext& context,
        const uuid& horizon_surface, const uuid& collection )
    {
        for( const auto& boundary :
            context.model.boundaries( horizon_surface ) )
        {
            const auto& line = boundary.id();
            std::vector< uuid > added;
            if( is_fault_line( context, line ) )
            {
                if( const auto side =
                        fault_side_surfaces( context, horizon_surface, line ) )
                {
                    add_to_slice_collection( context, *side, collection );
                    add_to_slice_collection( context,
                        other_fault_block_surfaces(
                            context, horizon_surface, *side ),
                        collection );
                }
            }
            if( touches_bottom( context, line ) )
            {
                collect_beyond_outcrop( context, horizon_surface,
                    incident_surfaces_in(
                        context, line, context.bottom_surfaces ),
                    added );
            }
            if( touches_top( context, line ) )
            {
                collect_beyond_outcrop( context, horizon_surface,
                    incident_surfaces_in( context, line, context.top_surfaces ),
                    added );
            }
            add_to_slice_collection( context, added, collection );
        }
    }

    void complete_fault_collection( const AssemblyContext& context,
        const uuid& fault, const uuid& collection )
    {
        const auto top_vertex = required_border_vertex(
            context, fault, context.top_surfaces, "top" );
        const auto bottom_vertex = required_border_vertex(
            context, fault, context.bottom_surfaces, "bottom" );
        // Where the fault reaches the bottom, the top surface over it is the
        // one the fault's level stays under; where it reaches the top, the
        // bottom surface under it is the one it stays over. The others are
        // where the level runs along the top or the bottom.
        const auto top_over_fault = first_met(
            context, bottom_vertex, fault, context.top_surfaces, "top" );
        const auto bottom_under_fault = first_met(
            context, top_vertex, fault, context.bottom_surfaces, "bottom" );

        std::vector< uuid > added;
        const auto& model = context.model;
        for( const auto& item : model.fault_items( model.fault( fault ) ) )
        {
            for( const auto& line : model.boundaries( item.id() ) )
            {
                if( !touches_bottom( context, line.id() )
                    && !touches_top( context, line.id() ) )
                {
                    continue;
                }
                for( const auto& surface : model.incidences( line.id() ) )
                {
                    const auto& id = surface.id();
                    if( is_top_surface( context, id ) && id != top_over_fault )
                    {
                        walk_top_bottom_surfaces(
                            context, id, top_over_fault, added );
                    }
                    if( is_bottom_surface( context, id )
                        && id != bottom_under_fault )
                    {
                        walk_top_bottom_surfaces(
                            context, id, bottom_under_fault, added );
                    }
                }
            }
        }
        add_to_slice_collection( context, added, collection );
    }

    std::optional< index_t > fault_top_border_vertex(
        const AssemblyContext& context, const uuid& fault )
    {
        return fault_border_vertex( context, fault, context.top_surfaces );
    }

    std::optional< index_t > fault_bottom_border_vertex(
        const AssemblyContext& context, const uuid& fault )
    {
        return fault_border_vertex( context, fault, context.bottom_surfaces );
    }
} // namespace brevane::internal
