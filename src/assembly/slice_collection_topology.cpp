#include "assembly/slice_collection_topology.h"

#include <algorithm>

namespace brevane::internal
{
    namespace
    {
        bool touches( const AssemblyContext& context, const uuid& line,
            absl::Span< const uuid > surfaces )
        {
            for( const auto& surface : context.model.incidences( line ) )
            {
                if( is_listed( surfaces, surface.id() ) )
                {
                    return true;
                }
            }
            return false;
        }
    } // namespace

    bool is_listed( absl::Span< const uuid > ids, const uuid& id )
    {
        return std::find( ids.begin(), ids.end(), id ) != ids.end();
    }

    bool is_top_or_bottom_surface(
        const AssemblyContext& context, const uuid& surface )
    {
        return is_top_surface( context, surface )
               || is_bottom_surface( context, surface );
    }

    std::vector< uuid > incident_surfaces_in( const AssemblyContext& context,
        const uuid& line, absl::Span< const uuid > surfaces )
    {
        std::vector< uuid > incident;
        for( const auto& surface : context.model.incidences( line ) )
        {
            if( is_listed( surfaces, surface.id() ) )
            {
                incident.push_back( surface.id() );
            }
        }
        return incident;
    }

    bool touches_top( const AssemblyContext& context, const uuid& line )
    {
        return touches( context, line, context.top_surfaces );
    }

    bool touches_bottom( const AssemblyContext& context, const uuid& line )
    {
        return touches( context, line, context.bottom_surfaces );
    }

    uuid fault_block_of_surface(
        const AssemblyContext& context, const uuid& surface )
    {
        const auto& model = context.model;
        const auto blocks = model.incidences( surface );
        TESSARK_EXCEPTION( !blocks.empty(),
            "[PillarStructuralModelBuilder] Surface \"",
            model.surface( surface ).name(), "\" (", surface.string(),
            ") bounds no block, so its fault block is unknown" );
        const auto& block = blocks.front().id();
        const auto fault_block = fault_block_of_block( model, block );
        TESSARK_EXCEPTION( fault_block.has_value(),
            "[PillarStructuralModelBuilder] Block \"",
            model.block( block ).name(), "\" (", block.string(),
            "), the first block bounded by surface \"",
            model.surface( surface ).name(), "\" (", surface.string(),
            "), is in no fault block" );
        return *fault_block;
    }
} // namespace brevane::internal
