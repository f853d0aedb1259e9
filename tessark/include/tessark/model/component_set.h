#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/basic/uuid.h>

namespace brevane
{
    // The components of one kind in a model, in insertion order, with a
    // look-up by uuid. Removal leaves an empty slot so that removing many
    // components costs no shifting; iteration skips the slots.
    template < typename Component >
    class ComponentSet
    {
    public:
        // kind names the components in messages ("Surface", "Horizon"...).
        explicit ComponentSet( std::string_view kind ) : kind_( kind ) {}

        class Iterator
        {
        public:
            Iterator( const std::vector< std::unique_ptr< Component > >& slots,
                std::size_t position )
                : slots_( &slots ), position_( position )
            {
                skip_empty();
            }
            [[nodiscard]] const Component& operator*() const
            {
                return *( *slots_ )[position_];
            }
            Iterator& operator++()
            {
                position_++;
                skip_empty();
                return *this;
            }
            [[nodiscard]] bool operator!=( const Iterator& other ) const
            {
                return position_ != other.position_;
            }

        private:
            void skip_empty()
            {
                while( position_ < slots_->size() && !( *slots_ )[position_] )
                {
                    position_++;
                }
            }

            const std::vector< std::unique_ptr< Component > >* slots_;
            std::size_t position_;
        };

        [[nodiscard]] Iterator begin() const
        {
            return { slots_, 0 };
        }
        [[nodiscard]] Iterator end() const
        {
            return { slots_, slots_.size() };
        }
        [[nodiscard]] index_t size() const
        {
            return static_cast< index_t >( position_of_id_.size() );
        }
        [[nodiscard]] bool contains( const uuid& id ) const
        {
            return position_of_id_.contains( id );
        }
        // Null when absent.
        [[nodiscard]] Component* find( const uuid& id ) const
        {
            const auto found = position_of_id_.find( id );
            return found == position_of_id_.end()
                       ? nullptr
                       : slots_[found->second].get();
        }

        // Throws a TessarkException naming the id when absent.
        [[nodiscard]] Component& get( const uuid& id ) const
        {
            auto* component = find( id );
            TESSARK_EXCEPTION( component != nullptr, "[Model] No ", kind_,
                " with id ", id.string() );
            return *component;
        }

        Component& add( std::unique_ptr< Component > component )
        {
            const auto id = component->id();
            const auto inserted = position_of_id_.try_emplace(
                id, static_cast< index_t >( slots_.size() ) );
            TESSARK_EXCEPTION( inserted.second, "[Model] A ",
                kind_, " with id ",
                id.string(), " already exists" );
            slots_.push_back( std::move( component ) );
            return *slots_.back();
        }
        // Throws when absent.
        void remove( const uuid& id )
        {
            const auto found = position_of_id_.find( id );
            TESSARK_EXCEPTION( found != position_of_id_.end(), "[Model] No ",
                kind_, " with id ",
                id.string(), " to remove" );
            slots_[found->second].reset();
            position_of_id_.erase( found );
        }

        // A deep copy: clone_component( component ) makes each copy, which
        // keeps its slot, so that iteration order and positions are the
        // same.
        // Takes the component out of the set, or null when there is none
        // with this id.
        [[nodiscard]] std::unique_ptr< Component > release( const uuid& id )
        {
            const auto found = position_of_id_.find( id );
            if( found == position_of_id_.end() )
            {
                return nullptr;
            }
            auto component = std::move( slots_[found->second] );
            position_of_id_.erase( found );
            return component;
        }

        [[nodiscard]] const std::string& kind() const
        {
            return kind_;
        }

        template < typename Clone >
        [[nodiscard]] ComponentSet copy( const Clone& clone_component ) const
        {
            ComponentSet result{ kind_ };
            result.slots_.reserve( slots_.size() );
            for( const auto& slot : slots_ )
            {
                result.slots_.push_back(
                    slot ? clone_component( *slot ) : nullptr );
            }
            result.position_of_id_ = position_of_id_;
            return result;
        }

    private:
        std::string kind_;
        std::vector< std::unique_ptr< Component > > slots_;
        absl::flat_hash_map< uuid, index_t > position_of_id_;
    };
} // namespace brevane
