#include "pillars/surface_groups_order_search.h"

#include <algorithm>
#include <set>

#include <absl/strings/str_join.h>

#include <tessark/basic/tessark_exception.h>

#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        // Groups meeting a column within this height of each other are met
        // at the same height.
        constexpr double same_height{ 1e-6 };

        std::optional< uuid > fault_block_of_surface(
            const StructuralModel& model, const uuid& surface )
        {
            for( const auto& block : model.incidences( surface ) )
            {
                for( const auto& collection : model.collections( block.id() ) )
                {
                    if( collection.type().get() == "FaultBlock" )
                    {
                        return collection.id();
                    }
                }
            }
            return std::nullopt;
        }

        std::string point_description( const Point2D& point )
        {
            return concatenate(
                "(", point.value( 0 ), ", ", point.value( 1 ), ")" );
        }
    } // namespace

    SurfaceGroupsOrderSearch::SurfaceGroupsOrderSearch(
        const StructuralModel& model, absl::Span< const SurfaceGroup > groups )
        : model_( model ), groups_( groups.begin(), groups.end() )
    {
        for( const auto& group : groups_ )
        {
            fault_blocks_.push_back(
                group.empty() || is_fault_surface( model, group.front() )
                    ? std::nullopt
                    : fault_block_of_surface( model, group.front() ) );
        }
        update();
    }

    void SurfaceGroupsOrderSearch::add_column(
        absl::Span< const ColumnGroup > column, const Point2D& position )
    {
        // Levels of groups met at one height, top to bottom; a group met
        // again lower down keeps its first, highest place.
        std::vector< std::vector< index_t > > levels;
        std::vector< index_t > key;
        std::optional< double > level_z;
        for( const auto& met : column )
        {
            if( std::find( key.begin(), key.end(), met.group ) != key.end() )
            {
                continue;
            }
            if( !level_z || met.z < *level_z - same_height )
            {
                levels.emplace_back();
                level_z = met.z;
                key.push_back( NO_ID );
            }
            levels.back().push_back( met.group );
            key.push_back( met.group );
        }
        if( levels.size() < 2 || !seen_columns_.insert( key ).second )
        {
            return;
        }
        nb_recorded_columns_++;
        bool is_new{ false };
        for( std::size_t level = 0; level + 1 < levels.size(); level++ )
        {
            for( const auto upper : levels[level] )
            {
                for( const auto lower : levels[level + 1] )
                {
                    is_new = relations_.try_emplace( { upper, lower }, position )
                                 .second
                             || is_new;
                }
            }
        }
        if( is_new )
        {
            update();
        }
    }

    SurfaceGroupsOrderSearch::Ordering
    SurfaceGroupsOrderSearch::topological_order() const
    {
        const auto nb_groups = static_cast< index_t >( groups_.size() );
        std::vector< std::vector< index_t > > below( nb_groups );
        std::vector< index_t > nb_above( nb_groups, 0 );
        for( const auto& [relation, position] : relations_ )
        {
            below[relation.first].push_back( relation.second );
            nb_above[relation.second]++;
        }
        std::set< index_t > available;
        for( index_t group = 0; group < nb_groups; group++ )
        {
            if( nb_above[group] == 0 )
            {
                available.insert( group );
            }
        }
        Ordering ordering;
        std::optional< index_t > last;
        while( !available.empty() )
        {
            if( available.size() > 1 )
            {
                ordering.ties.emplace_back( available.begin(), available.end() );
            }
            // The groups directly below the last one placed come first, so
            // that a block is followed by the fault below it.
            auto next = *available.begin();
            if( last )
            {
                for( const auto candidate : available )
                {
                    if( std::find( below[*last].begin(), below[*last].end(),
                            candidate )
                        != below[*last].end() )
                    {
                        next = candidate;
                        break;
                    }
                }
            }
            available.erase( next );
            ordering.order.push_back( next );
            last = next;
            for( const auto lower : below[next] )
            {
                if( --nb_above[lower] == 0 )
                {
                    available.insert( lower );
                }
            }
        }
        for( index_t group = 0; group < nb_groups; group++ )
        {
            if( nb_above[group] != 0 )
            {
                ordering.on_cycle.push_back( group );
            }
        }
        return ordering;
    }

    void SurfaceGroupsOrderSearch::update()
    {
        const auto ordering = topological_order();
        if( !ordering.on_cycle.empty() )
        {
            throw TessarkException{ "[PillarStructuralModelBuilder] The "
                                    "surfaces cross: columns show ",
                cycle_description( ordering.on_cycle ),
                ". Check that these surfaces do not cross each other." };
        }
        complete_ = ordering.ties.empty();
        if( complete_ )
        {
            order_ = groups_in( ordering.order );
        }
    }

    std::vector< SurfaceGroup >
        SurfaceGroupsOrderSearch::order_without_more_columns() const
    {
        if( complete_ )
        {
            return order_;
        }
        const auto ordering = topological_order();
        for( const auto& tie : ordering.ties )
        {
            for( std::size_t first = 0; first < tie.size(); first++ )
            {
                for( auto second = first + 1; second < tie.size(); second++ )
                {
                    const auto a = tie[first];
                    const auto b = tie[second];
                    const auto horizons = !is_fault_surface( model_, groups_[a].front() )
                                          && !is_fault_surface( model_, groups_[b].front() );
                    if( horizons && fault_blocks_[a] == fault_blocks_[b] )
                    {
                        throw TessarkException{ "[PillarStructuralModelBuilder] "
                                                "The order of the surface "
                                                "groups is not complete: ",
                            group_name( a ), " and ", group_name( b ),
                            " are never met one above the other in one "
                            "column. Check that these horizons of one fault "
                            "block overlap somewhere in plan view." };
                    }
                }
            }
        }
        return groups_in( ordering.order );
    }

    std::string SurfaceGroupsOrderSearch::group_name( index_t group ) const
    {
        std::vector< std::string > names;
        for( const auto& surface : groups_[group] )
        {
            names.push_back( concatenate(
                "\"", model_.surface( surface ).name(), "\" (", surface.string(), ")" ) );
        }
        return absl::StrJoin( names, " + " );
    }

    std::string SurfaceGroupsOrderSearch::cycle_description(
        absl::Span< const index_t > on_cycle ) const
    {
        // Every group left on a cycle has a relation from another one left:
        // walking those relations backwards from any of them comes back to
        // a group already met.
        std::vector< index_t > walk{ on_cycle.front() };
        while( true )
        {
            const auto current = walk.back();
            index_t upper{ NO_ID };
            for( const auto& [relation, position] : relations_ )
            {
                if( relation.second == current
                    && std::find( on_cycle.begin(), on_cycle.end(),
                           relation.first )
                           != on_cycle.end() )
                {
                    upper = relation.first;
                    break;
                }
            }
            const auto met = std::find( walk.begin(), walk.end(), upper );
            if( met != walk.end() )
            {
                walk.erase( walk.begin(), met );
                walk.push_back( upper );
                break;
            }
            walk.push_back( upper );
        }
        std::reverse( walk.begin(), walk.end() );
        std::vector< std::string > steps;
        for( std::size_t index = 0; index + 1 < walk.size(); index++ )
        {
            const Relation relation{ walk[index], walk[index + 1] };
            steps.push_back( concatenate( group_name( relation.first ),
                " above ", group_name( relation.second ), " (column at ",
                point_description( relations_.at( relation ) ), ")" ) );
        }
        return absl::StrJoin( steps, ", " );
    }

    std::vector< SurfaceGroup > SurfaceGroupsOrderSearch::groups_in(
        absl::Span< const index_t > order ) const
    {
        std::vector< SurfaceGroup > groups;
        groups.reserve( order.size() );
        for( const auto group : order )
        {
            groups.push_back( groups_[group] );
        }
        return groups;
    }
} // namespace brevane::internal
