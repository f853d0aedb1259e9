#include "top_surface/surface_ids.h"

#include <deque>
#include <optional>

#include <absl/container/flat_hash_set.h>

#include <tessark/basic/tessark_exception.h>

#include "top_surface/region_graph.h"

namespace brevane::internal
{
    namespace
    {
        bool is_lateral_boundary_surface(
            const TopSurfaceContext& context, const Surface< 3 >& surface )
        {
            return is_model_boundary_surface( context, surface )
                   && !is_top_or_bottom_surface( context, surface );
        }

        // The boundary lines of a surface, in model order and as a set for
        // the membership tests of the floods.
        struct BoundaryLines
        {
            explicit BoundaryLines(
                const StructuralModel& model, const Surface< 3 >& surface )
            {
                for( const auto& boundary : model.boundaries( surface.id() ) )
                {
                    ordered.push_back( boundary.id() );
                    set.insert( boundary.id() );
                }
            }

            std::vector< uuid > ordered;
            absl::flat_hash_set< uuid > set;
        };

        // The first side-wall line among the boundary lines, else the first
        // boundary line: a side-wall trace runs along the plan-view border,
        // so its regions lie on the surface's side of it.
        const Line< 3 >& starting_line(
            const TopSurfaceContext& context, const BoundaryLines& boundary )
        {
            for( const auto& id : boundary.ordered )
            {
                const auto& line = context.model.line( id );
                if( is_lateral_boundary_line( context, line ) )
                {
                    return line;
                }
            }
            return context.model.line( boundary.ordered.front() );
        }

        index_t starting_line_set( const RegionGraph& regions,
            const Surface< 3 >& surface, const Line< 3 >& line )
        {
            const auto found = regions.line_sets_of_line.find( line.id() );
            if( found == regions.line_sets_of_line.end() )
            {
                throw TessarkException{ "[assign_surface_ids] Surface \"",
                    surface.name(), "\" (", surface.id().string(),
                    ") starts from its boundary line \"", line.name(), "\" (",
                    line.id().string(),
                    "), which no edge of the plan view carries" };
            }
            return found->second.front();
        }

        bool holds_boundary_line( absl::Span< const uuid > lines,
            const absl::flat_hash_set< uuid >& boundary )
        {
            for( const auto& line : lines )
            {
                if( boundary.contains( line ) )
                {
                    return true;
                }
            }
            return false;
        }

        // The regions taken by a flood from the seed, in the order taken
        // (a region queued twice before being taken is taken twice); none
        // when the flood is abandoned. Each line set is passed at most once,
        // so the queue receives finitely many regions.
        std::optional< std::vector< index_t > > flood(
            const RegionGraph& regions, index_t seed,
            const absl::flat_hash_set< uuid >& boundary )
        {
            std::deque< index_t > queue{ seed };
            // Regions taken and line sets passed.
            absl::flat_hash_set< index_t > reached{ seed };
            std::vector< index_t > collected;
            while( !queue.empty() )
            {
                const auto region = queue.front();
                queue.pop_front();
                collected.push_back( region );
                reached.insert( region );
                for( const auto line_set : regions.neighbours( region ) )
                {
                    if( holds_boundary_line( regions.lines[line_set], boundary )
                        || !reached.insert( line_set ).second )
                    {
                        continue;
                    }
                    bool queued{ false };
                    for( const auto next : regions.neighbours( line_set ) )
                    {
                        if( !reached.contains( next ) )
                        {
                            queue.push_back( next );
                            queued = true;
                        }
                    }
                    if( !queued )
                    {
                        return std::nullopt;
                    }
                }
            }
            return collected;
        }

        void append_surface_id( const RegionGraph& regions,
            absl::Span< const index_t > collected, const uuid& surface,
            VariableAttribute< std::vector< uuid > >& surface_ids )
        {
            for( const auto region : collected )
            {
                for( const auto triangle : regions.triangles[region] )
                {
                    surface_ids.modify_value( triangle,
                        [&surface]( std::vector< uuid >& ids )
                        {
                            ids.push_back( surface );
                        } );
                }
            }
        }
    } // namespace

    void assign_surface_ids( const TopSurfaceContext& context,
        const BackgroundSurface& background,
        VariableAttribute< std::vector< uuid > >& surface_ids )
    {
        const auto regions = build_region_graph( background );
        for( const auto& surface : context.model.surfaces() )
        {
            if( is_lateral_boundary_surface( context, surface ) )
            {
                continue;
            }
            const BoundaryLines boundary{ context.model, surface };
            // Without a boundary line there is no trace to start from: the
            // surface is left out rather than guessed.
            if( boundary.ordered.empty() )
            {
                continue;
            }
            const auto start = starting_line_set(
                regions, surface, starting_line( context, boundary ) );
            for( const auto seed : regions.neighbours( start ) )
            {
                if( const auto collected =
                        flood( regions, seed, boundary.set ) )
                {
                    append_surface_id(
                        regions, *collected, surface.id(), surface_ids );
                }
            }
        }
    }
} // namespace brevane::internal
