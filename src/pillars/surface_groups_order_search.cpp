#include "pillars/surface_groups_order_search.h"

#include <algorithm>

#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        template < typename Container, typename Value >
        bool contains( const Container& container, const Value& value )
        {
            return std::find( container.begin(), container.end(), value )
                   != container.end();
        }

        template < typename Container, typename Value >
        void push_once( Container& container, const Value& value )
        {
            if( !contains( container, value ) )
            {
                container.push_back( value );
            }
        }
    } // namespace

    SurfaceGroupsOrderSearch::SurfaceGroupsOrderSearch(
        const StructuralModel& model )
        : model_( model ),
          nb_horizons_( nb_non_empty_horizons( model ) ),
          expected_size_(
              nb_horizons_ * ( model.nb_faults() + 1 ) + model.nb_faults() )
    {
    }

    bool SurfaceGroupsOrderSearch::is_complete() const
    {
        if( order_.size() != expected_size_ )
        {
            return false;
        }
        bool has_stack{ false };
        for( index_t stack = 0; stack < stacks_.size(); stack++ )
        {
            if( retired_[stack] )
            {
                continue;
            }
            has_stack = true;
            if( stacks_[stack].size() != nb_horizons_ )
            {
                return false;
            }
        }
        return has_stack || nb_horizons_ == 0;
    }

    bool SurfaceGroupsOrderSearch::is_fault_group(
        const SurfaceGroup& group ) const
    {
        return !group.empty() && is_fault_surface( model_, group.front() );
    }

    void SurfaceGroupsOrderSearch::add_column(
        const std::vector< SurfaceGroup >& sequence )
    {
        const auto informative =
            sequence.size() >= 2
            || ( sequence.size() == 1 && !is_fault_group( sequence.front() ) );
        if( informative && recorded_.insert( sequence ).second )
        {
            record( sequence );
        }
        rebuild_order();
    }

    void SurfaceGroupsOrderSearch::record(
        const std::vector< SurfaceGroup >& sequence )
    {
        // Segments between fault groups, and the surfaces seen on each side
        // of each fault.
        const absl::Span< const SurfaceGroup > groups{ sequence };
        std::size_t segment_begin{ 0 };
        std::optional< uuid > fault_above_segment;
        for( std::size_t position = 0; position <= groups.size(); position++ )
        {
            const auto at_end = position == groups.size();
            if( !at_end && !is_fault_group( groups[position] ) )
            {
                continue;
            }
            const auto segment =
                groups.subspan( segment_begin, position - segment_begin );
            if( fault_above_segment )
            {
                auto& below = surfaces_below_fault_[*fault_above_segment];
                for( const auto& group : segment )
                {
                    add_surfaces( group, below );
                }
            }
            if( !at_end )
            {
                fault_above_segment =
                    fault_of_surface( model_, groups[position].front() );
                auto& above = surfaces_above_fault_[*fault_above_segment];
                for( const auto& group : segment )
                {
                    add_surfaces( group, above );
                }
            }
            record_segment( segment );
            segment_begin = position + 1;
        }
    }

    void SurfaceGroupsOrderSearch::add_surfaces(
        const SurfaceGroup& group, std::vector< uuid >& surfaces )
    {
        for( const auto& surface : group )
        {
            push_once( surfaces, surface );
        }
    }

    void SurfaceGroupsOrderSearch::record_segment(
        absl::Span< const SurfaceGroup > segment )
    {
        if( segment.empty() )
        {
            return;
        }
        const auto related = related_stacks( segment );
        if( related.empty() )
        {
            create_stack( segment );
            return;
        }
        merge_into_stack( related.front(), segment );
        for( std::size_t other = 1; other < related.size(); other++ )
        {
            merge_stacks( related.front(), related[other] );
        }
    }

    SurfaceGroupsOrderSearch::StackList
        SurfaceGroupsOrderSearch::related_stacks(
            absl::Span< const SurfaceGroup > groups ) const
    {
        StackList related;
        for( const auto& group : groups )
        {
            const auto found = surface_stacks_.find( group.front() );
            if( found != surface_stacks_.end() && !found->second.empty() )
            {
                push_once( related, found->second.front() );
            }
        }
        return related;
    }

    void SurfaceGroupsOrderSearch::add_surface_stack(
        const uuid& surface, index_t stack )
    {
        push_once( surface_stacks_[surface], stack );
    }

    void SurfaceGroupsOrderSearch::create_stack(
        absl::Span< const SurfaceGroup > groups )
    {
        const auto stack = static_cast< index_t >( stacks_.size() );
        stacks_.emplace_back( groups.begin(), groups.end() );
        retired_.push_back( false );
        for( const auto& group : groups )
        {
            for( const auto& surface : group )
            {
                add_surface_stack( surface, stack );
            }
        }
    }

    void SurfaceGroupsOrderSearch::merge_into_stack(
        index_t stack, absl::Span< const SurfaceGroup > groups )
    {
        auto& content = stacks_[stack];
        const auto position_of = [&content]( const uuid& surface ) {
            return std::find_if( content.begin(), content.end(),
                [&surface]( const SurfaceGroup& group ) {
                    return contains( group, surface );
                } );
        };
        // New groups wait for the next known group of the column: those
        // above the first known group go on top of the stack, those between
        // two known groups just above the second, the last ones at the
        // bottom.
        std::vector< SurfaceGroup > waiting;
        bool known_seen{ false };
        for( const auto& group : groups )
        {
            const auto known = position_of( group.front() );
            if( known == content.end() )
            {
                waiting.push_back( group );
                for( const auto& surface : group )
                {
                    add_surface_stack( surface, stack );
                }
                continue;
            }
            const auto insert_at = known_seen ? known : content.begin();
            content.insert( insert_at, waiting.begin(), waiting.end() );
            waiting.clear();
            known_seen = true;
        }
        if( known_seen )
        {
            content.insert( content.end(), waiting.begin(), waiting.end() );
        }
        else
        {
            // None of the groups is in the stack yet: the old content still
            // belongs to the block, below the new groups.
            content.insert( content.begin(), waiting.begin(), waiting.end() );
        }
    }

    void SurfaceGroupsOrderSearch::merge_stacks( index_t kept, index_t retired )
    {
        if( kept == retired || retired_[retired] )
        {
            return;
        }
        const auto groups = std::move( stacks_[retired] );
        stacks_[retired].clear();
        retired_[retired] = true;
        merge_into_stack( kept, groups );
        for( const auto& group : groups )
        {
            for( const auto& surface : group )
            {
                auto& stacks = surface_stacks_[surface];
                std::replace( stacks.begin(), stacks.end(), retired, kept );
                StackList unique;
                for( const auto stack : stacks )
                {
                    push_once( unique, stack );
                }
                stacks = unique;
            }
        }
    }

    void SurfaceGroupsOrderSearch::rebuild_order()
    {
        order_.clear();
        std::vector< index_t > live;
        for( index_t stack = 0; stack < stacks_.size(); stack++ )
        {
            if( !retired_[stack] )
            {
                live.push_back( stack );
            }
        }
        if( live.empty() )
        {
            for( const auto& fault : model_.faults() )
            {
                order_.push_back( fault_group( fault.id() ) );
            }
            return;
        }
        const auto links = fault_links();
        if( live.size() == 1 )
        {
            const auto& stack = stacks_[live.front()];
            order_.insert( order_.end(), stack.begin(), stack.end() );
            return;
        }
        // Stacks and faults in an order where every fault comes after the
        // stack above it and before the stack below it: from each stack
        // with nothing above it, its groups, then
        // each fault below it followed, depth first, by the stack below
        // once all the faults above that stack are in. A chain of blocks
        // gives the one order there is; a block above two faults (a
        // graben) or below two (a horst) gets both. A stack caught in a
        // cycle of links is left out, so the order stays incomplete.
        std::vector< index_t > faults_above( stacks_.size(), 0 );
        for( const auto& link : links )
        {
            faults_above[link.lower]++;
        }
        std::vector< index_t > to_place;
        const auto place_from = [&]( index_t first ) {
            to_place.push_back( first );
            while( !to_place.empty() )
            {
                const auto stack = to_place.back();
                to_place.pop_back();
                const auto& groups = stacks_[stack];
                order_.insert( order_.end(), groups.begin(), groups.end() );
                std::vector< index_t > released;
                for( const auto& link : links )
                {
                    if( link.upper != stack )
                    {
                        continue;
                    }
                    order_.push_back( fault_group( link.fault ) );
                    if( --faults_above[link.lower] == 0 )
                    {
                        released.push_back( link.lower );
                    }
                }
                // Depth first, in the order of the faults.
                to_place.insert( to_place.end(), released.rbegin(), released.rend() );
            }
        };
        // Stacks with nothing above them, in the order of the first fault
        // below each (the model's fault order), so that the order does not
        // depend on which of them was seen first.
        std::vector< std::pair< std::size_t, index_t > > roots;
        for( const auto stack : live )
        {
            if( faults_above[stack] != 0 )
            {
                continue;
            }
            std::size_t first_fault{ links.size() };
            for( std::size_t link = 0; link < links.size(); link++ )
            {
                if( links[link].upper == stack )
                {
                    first_fault = link;
                    break;
                }
            }
            roots.emplace_back( first_fault, stack );
        }
        std::sort( roots.begin(), roots.end() );
        for( const auto& root : roots )
        {
            place_from( root.second );
        }
    }

    SurfaceGroup SurfaceGroupsOrderSearch::fault_group(
        const uuid& fault ) const
    {
        SurfaceGroup group;
        for( const auto& item : model_.items( fault ) )
        {
            group.push_back( item.id() );
        }
        return group;
    }

    std::vector< SurfaceGroupsOrderSearch::FaultLink >
        SurfaceGroupsOrderSearch::fault_links() const
    {
        const auto first_stack =
            [this]( const std::vector< uuid >& surfaces )
            -> std::optional< index_t > {
            for( const auto& surface : surfaces )
            {
                const auto found = surface_stacks_.find( surface );
                if( found != surface_stacks_.end() && !found->second.empty() )
                {
                    return found->second.front();
                }
            }
            return std::nullopt;
        };
        std::vector< FaultLink > links;
        for( const auto& fault : model_.faults() )
        {
            const auto above = surfaces_above_fault_.find( fault.id() );
            const auto below = surfaces_below_fault_.find( fault.id() );
            if( above == surfaces_above_fault_.end()
                || below == surfaces_below_fault_.end() )
            {
                continue;
            }
            const auto upper = first_stack( above->second );
            const auto lower = first_stack( below->second );
            if( upper && lower && *upper != *lower )
            {
                links.push_back( { fault.id(), *upper, *lower } );
            }
        }
        return links;
    }
} // namespace brevane::internal
