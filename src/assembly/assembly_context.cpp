#include "assembly/assembly_context.h"

#include <algorithm>

#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        bool contains( absl::Span< const uuid > ids, const uuid& id )
        {
            return std::find( ids.begin(), ids.end(), id ) != ids.end();
        }
    } // namespace

    bool is_top_surface( const AssemblyContext& context, const uuid& surface )
    {
        return contains( context.top_surfaces, surface );
    }

    bool is_bottom_surface( const AssemblyContext& context, const uuid& surface )
    {
        return contains( context.bottom_surfaces, surface );
    }

    bool is_horizon_line( const AssemblyContext& context, const uuid& line )
    {
        for( const auto& surface : context.model.incidences( line ) )
        {
            if( is_in_collection_of_type( context.model, surface.id(), "Horizon" )
                || is_bottom_surface( context, surface.id() )
                || is_top_surface( context, surface.id() ) )
            {
                return true;
            }
        }
        return false;
    }

    bool is_fault_line( const AssemblyContext& context, const uuid& line )
    {
        for( const auto& surface : context.model.incidences( line ) )
        {
            if( is_fault_surface( context.model, surface.id() ) )
            {
                return true;
            }
        }
        return false;
    }

    std::optional< uuid > fault_block_of_block(
        const StructuralModel& model, const uuid& block )
    {
        for( const auto& collection : model.collections( block ) )
        {
            if( collection.type().get() == "FaultBlock" )
            {
                return collection.id();
            }
        }
        return std::nullopt;
    }

    std::optional< index_t > surface_vertex_on_pillar(
        const TopVertexSurfaceVertices& vertices,
        index_t top_vertex,
        const uuid& surface )
    {
        for( const auto& [vertex_surface, vertex] : vertices.at( top_vertex ) )
        {
            if( vertex_surface == surface )
            {
                return vertex;
            }
        }
        return std::nullopt;
    }
} // namespace brevane::internal
