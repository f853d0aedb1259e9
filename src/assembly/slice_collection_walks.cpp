#include "assembly/slice_collection_walks.h"

#include <algorithm>
#include <optional>

#include "assembly/slice_collection_topology.h"

namespace brevane::internal
{
    namespace
    {
        bool meets( const Pillar& pillar, const uuid& surface )
        {
            return std::any_of( pillar.intersections.begin(),
                pillar.intersections.end(),
                [&surface]( const PillarIntersection& intersection )
                {
                    return intersection.surface == surface;
                } );
        }

        // The first top or bottom neighbour of the surface, in boundary-line
        // then incidence order, that is neither listed nor excluded.
        std::optional< uuid > next_on_walk( const AssemblyContext& context,
            const uuid& surface, const uuid& excluded,
            absl::Span< const uuid > listed )
        {
            for( const auto& line : context.model.boundaries( surface ) )
            {
                for( const auto& neighbour :
                    context.model.incidences( line.id() ) )
                {
                    const auto& id = neighbour.id();
                    if( !is_listed( listed, id )
                        && is_top_or_bottom_surface( context, id )
                        && id != excluded )
                    {
                        return id;
                    }
                }
            }
            return std::nullopt;
        }
    } // namespace

    void collect_beyond_outcrop( const AssemblyContext& context,
        const uuid& horizon_surface, absl::Span< const uuid > outcrop_surfaces,
        std::vector< uuid >& added )
    {
        // With one top (bottom) surface at the line there is no surface on
        // its far side to walk from: that side lies outside the model, or is
        // the same surface, which also covers the horizon surface and so is
        // not beyond it. Walking from it would carry the level over the very
        // surface that covers the horizon and, with nothing excluded, over
        // every top or bottom surface connected to it.
        if( outcrop_surfaces.size() < 2 )
        {
            return;
        }
        const auto& first = outcrop_surfaces[0];
        const auto& second = outcrop_surfaces[1];
        const auto nb_vertices =
            context.background_surface.surface().nb_vertices();
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            const auto& pillar = context.pillars.at( vertex );
            if( !meets( pillar, horizon_surface ) )
            {
                continue;
            }
            // Pillars along the outcrop line meet both surfaces and decide
            // nothing.
            const auto meets_first = meets( pillar, first );
            const auto meets_second = meets( pillar, second );
            if( meets_first && !meets_second )
            {
                walk_top_bottom_surfaces( context, second, first, added );
                return;
            }
            if( meets_second && !meets_first )
            {
                walk_top_bottom_surfaces( context, first, second, added );
                return;
            }
        }
    }

    void walk_top_bottom_surfaces( const AssemblyContext& context,
        const uuid& start, const uuid& excluded, std::vector< uuid >& added )
    {
        added.push_back( start );
        // Every step appends a surface not listed before, so the walk ends
        // after at most as many steps as there are top and bottom surfaces.
        while( const auto next =
                   next_on_walk( context, added.back(), excluded, added ) )
        {
            added.push_back( *next );
        }
    }

    std::vector< uuid > other_fault_block_surfaces(
        const AssemblyContext& context, const uuid& horizon_surface,
        absl::Span< const uuid > fault_surfaces )
    {
        const auto horizon_block =
            fault_block_of_surface( context, horizon_surface );
        std::vector< uuid > surfaces;
        for( const auto& fault_surface : fault_surfaces )
        {
            for( const auto& line : context.model.boundaries( fault_surface ) )
            {
                if( !touches_bottom( context, line.id() )
                    && !touches_top( context, line.id() ) )
                {
                    continue;
                }
                for( const auto& surface :
                    context.model.incidences( line.id() ) )
                {
                    if( is_top_or_bottom_surface( context, surface.id() )
                        && fault_block_of_surface( context, surface.id() )
                               != horizon_block )
                    {
                        collect_top_bottom_neighbours(
                            context, surface.id(), horizon_block, surfaces );
                    }
                }
            }
        }
        return surfaces;
    }

    void collect_top_bottom_neighbours( const AssemblyContext& context,
        const uuid& start, const uuid& excluded_fault_block,
        std::vector< uuid >& surfaces )
    {
        // Breadth first over the surfaces appended by this call: the list
        // from `first` on is both the result and the queue.
        const auto first = surfaces.size();
        surfaces.push_back( start );
        for( auto next = first; next < surfaces.size(); next++ )
        {
            const auto current = surfaces[next];
            for( const auto& line : context.model.boundaries( current ) )
            {
                for( const auto& neighbour :
                    context.model.incidences( line.id() ) )
                {
                    const auto& id = neighbour.id();
                    if( !is_listed( surfaces, id )
                        && is_top_or_bottom_surface( context, id )
                        && fault_block_of_surface( context, id )
                               != excluded_fault_block )
                    {
                        surfaces.push_back( id );
                    }
                }
            }
        }
    }
} // namespace brevane::internal
