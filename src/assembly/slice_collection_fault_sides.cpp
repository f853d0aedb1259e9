#include "assembly/slice_collection_fault_sides.h"

#include <algorithm>
#include <deque>

#include <absl/container/flat_hash_set.h>

#include "assembly/slice_collection_topology.h"
#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        // The search of one side: its surfaces in the order found, those
        // seen from it, and those whose lines are still to be explored. The
        // visited set only answers membership; the order comes from the list
        // and the queue.
        class FaultSideSearch
        {
        public:
            FaultSideSearch( const AssemblyContext& context,
                const uuid& horizon_line, const uuid& start )
                : context_( context ), horizon_line_( horizon_line )
            {
                surfaces_.push_back( start );
                visited_.insert( start );
            }

            // Across each horizon line of the start surface (the horizon
            // line searched from excepted), the first fault surface found
            // goes on; the others on the same line are only marked, so that
            // the side does not branch into them there.
            void first_ring()
            {
                const auto start = surfaces_.front();
                for( const auto& line : context_.model.boundaries( start ) )
                {
                    if( line.id() == horizon_line_
                        || !is_horizon_line( context_, line.id() ) )
                    {
                        continue;
                    }
                    bool first{ true };
                    for( const auto& surface :
                        context_.model.incidences( line.id() ) )
                    {
                        if( !is_candidate( surface.id() ) )
                        {
                            continue;
                        }
                        if( first )
                        {
                            queue_.push_back( surface.id() );
                            surfaces_.push_back( surface.id() );
                            first = false;
                        }
                        visited_.insert( surface.id() );
                    }
                }
            }

            // Across any line, every fault surface found joins the side;
            // the first one on each line is explored further. Each surface
            // is visited once, so the spreading ends.
            void spread()
            {
                while( !queue_.empty() )
                {
                    const auto current = queue_.front();
                    queue_.pop_front();
                    for( const auto& line :
                        context_.model.boundaries( current ) )
                    {
                        bool first{ true };
                        for( const auto& surface :
                            context_.model.incidences( line.id() ) )
                        {
                            if( !is_candidate( surface.id() ) )
                            {
                                continue;
                            }
                            visited_.insert( surface.id() );
                            surfaces_.push_back( surface.id() );
                            if( first )
                            {
                                queue_.push_back( surface.id() );
                                first = false;
                            }
                        }
                    }
                }
            }

            std::vector< uuid > take_surfaces()
            {
                return std::move( surfaces_ );
            }

        private:
            // A fault surface not seen yet and not bounded by the horizon
            // line: the search never comes back to the line it starts from.
            bool is_candidate( const uuid& surface ) const
            {
                return !context_.model.is_boundary( horizon_line_, surface )
                       && is_fault_surface( context_.model, surface )
                       && !visited_.contains( surface );
            }

            const AssemblyContext& context_;
            const uuid& horizon_line_;
            std::vector< uuid > surfaces_;
            absl::flat_hash_set< uuid > visited_;
            std::deque< uuid > queue_;
        };

        // The first group of the order holding either surface decides;
        // when none holds either, the fault is taken as below.
        bool is_fault_above( const AssemblyContext& context,
            const uuid& horizon_surface, const uuid& fault_surface )
        {
            for( const auto& group : context.surface_groups_order )
            {
                if( is_listed( group, horizon_surface ) )
                {
                    return false;
                }
                if( is_listed( group, fault_surface ) )
                {
                    return true;
                }
            }
            return false;
        }

        struct SideReach
        {
            bool top{ false };
            bool bottom{ false };
        };

        SideReach reach_of(
            const AssemblyContext& context, absl::Span< const uuid > side )
        {
            SideReach reach;
            for( const auto& surface : side )
            {
                for( const auto& line : context.model.boundaries( surface ) )
                {
                    reach.top = reach.top || touches_top( context, line.id() );
                    reach.bottom =
                        reach.bottom || touches_bottom( context, line.id() );
                }
            }
            return reach;
        }
    } // namespace

    std::optional< std::vector< uuid > > fault_side_surfaces(
        const AssemblyContext& context, const uuid& horizon_surface,
        const uuid& line )
    {
        const auto& model = context.model;
        FaultSides sides;
        index_t nb_sides{ 0 };
        for( const auto& surface : model.incidences( line ) )
        {
            if( !is_fault_surface( model, surface.id() ) )
            {
                continue;
            }
            TESSARK_EXCEPTION( nb_sides < sides.size(),
                "[PillarStructuralModelBuilder] Line \"",
                model.line( line ).name(), "\" (", line.string(),
                ") of horizon surface \"",
                model.surface( horizon_surface ).name(), "\" (",
                horizon_surface.string(),
                ") bounds more than two fault surfaces" );
            FaultSideSearch search{ context, line, surface.id() };
            search.first_ring();
            search.spread();
            sides[nb_sides++] = search.take_surfaces();
        }
        if( nb_sides == 0 )
        {
            return std::nullopt;
        }
        return select_fault_side( context, sides,
            is_fault_above( context, horizon_surface, sides[0].front() ) );
    }

    std::optional< std::vector< uuid > > select_fault_side(
        const AssemblyContext& context, const FaultSides& sides,
        bool fault_above )
    {
        const auto first = reach_of( context, sides[0] );
        const auto second = reach_of( context, sides[1] );
        if( ( first.top && first.bottom ) || ( second.top && second.bottom ) )
        {
            return std::nullopt;
        }
        const auto first_reaches = fault_above ? first.bottom : first.top;
        return first_reaches ? sides[0] : sides[1];
    }
} // namespace brevane::internal
