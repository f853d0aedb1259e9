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
        // The chain and the fault links are derived again from the surfaces
        // seen around each fault.
        chain_.clear();
        stack_above_fault_.clear();
        fault_below_stack_.clear();
    }

    void SurfaceGroupsOrderSearch::rebuild_order()
    {
        order_.clear();
        link_faults_to_stacks();
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
        }
        if( live.size() == 1 )
        {
            const auto& stack = stacks_[live.front()];
            order_.insert( order_.end(), stack.begin(), stack.end() );
        }
        for( const auto stack : chain_ )
        {
            const auto& groups = stacks_[stack];
            order_.insert( order_.end(), groups.begin(), groups.end() );
            if( const auto fault = fault_below_stack_.find( stack );
                fault != fault_below_stack_.end() )
            {
                order_.push_back( fault_group( fault->second ) );
            }
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

    void SurfaceGroupsOrderSearch::link_faults_to_stacks()
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
            if( upper )
            {
                link_fault_to_stack( fault.id(), *upper );
            }
            const auto lower = first_stack( below->second );
            if( upper && lower && *upper != *lower )
            {
                insert_chain_link( *upper, *lower );
            }
        }
    }

    void SurfaceGroupsOrderSearch::link_fault_to_stack(
        const uuid& fault, index_t stack )
    {
        if( const auto old_stack = stack_above_fault_.find( fault );
            old_stack != stack_above_fault_.end() )
        {
            fault_below_stack_.erase( old_stack->second );
            stack_above_fault_.erase( old_stack );
        }
        if( const auto old_fault = fault_below_stack_.find( stack );
            old_fault != fault_below_stack_.end() )
        {
            stack_above_fault_.erase( old_fault->second );
            fault_below_stack_.erase( old_fault );
        }
        stack_above_fault_.emplace( fault, stack );
        fault_below_stack_.emplace( stack, fault );
    }

    void SurfaceGroupsOrderSearch::insert_chain_link(
        index_t upper, index_t lower )
    {
        if( chain_.empty() )
        {
            chain_ = { upper, lower };
            return;
        }
        if( chain_.size() == 2 && chain_[0] == upper && chain_[1] == lower )
        {
            return;
        }
        std::vector< index_t > rebuilt;
        for( const auto stack : chain_ )
        {
            if( ( stack == upper && !contains( rebuilt, upper ) )
                || ( stack == lower && !contains( rebuilt, lower ) ) )
            {
                push_once( rebuilt, upper );
                push_once( rebuilt, lower );
                continue;
            }
            push_once( rebuilt, stack );
        }
        chain_ = std::move( rebuilt );
    }
} // namespace brevane::internal
