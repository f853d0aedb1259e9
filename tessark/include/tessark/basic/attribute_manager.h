#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/attribute.h>

namespace brevane
{
    // The attributes of one kind of mesh element (vertices, polygons,
    // edges...). Every attribute has nb_elements() values; the mesh calls the
    // element operations (resize, delete_elements, permute_elements, assign,
    // interpolate) as its elements change, so that values follow them.
    //
    // Callers hold attributes by shared pointer: an attribute keeps its
    // identity across compaction, its values are compacted in place.
    //
    // Look-up and registration (find_or_create_attribute, find_attribute*,
    // register_attribute, delete_attribute, attribute_names...) run under
    // mutex(), so several threads may call them at once. The element
    // operations are the mesh writer's: they are not locked and must not run
    // concurrently with other calls on the same manager.
    class AttributeManager
    {
    public:
        AttributeManager();
        ~AttributeManager();

        AttributeManager( const AttributeManager& ) = delete;
        AttributeManager& operator=( const AttributeManager& ) = delete;

        [[nodiscard]] index_t nb_elements() const
        {
            return nb_elements_;
        }

        // The attribute of that name when it exists with the same attribute
        // class and value type (its default and properties are kept);
        // otherwise a new one with one default value per element. Throws a
        // TessarkException naming the attribute when the name is taken by
        // another type.
        template < template < typename > class Attribute, typename T >
        std::shared_ptr< Attribute< T > > find_or_create_attribute(
            std::string_view name, T default_value,
            AttributeProperties properties = {} )
        {
            std::lock_guard< std::recursive_mutex > guard{ mutex_ };
            if( auto existing = find_attribute_base_unlocked( name ) )
            {
                auto typed =
                    std::dynamic_pointer_cast< Attribute< T > >( existing );
                TESSARK_EXCEPTION( typed != nullptr,
                    "[AttributeManager::find_or_create_attribute] Attribute \"",
                    name, "\" exists with type ", existing->type_name(),
                    ", requested with type ",
                    attribute_type_name( typeid( T ) ) );
                return typed;
            }
            auto attribute = std::make_shared< Attribute< T > >(
                std::move( default_value ), properties, nb_elements_ );
            insert_attribute_unlocked( attribute, name );
            return attribute;
        }

        // The attribute of that name, or null.
        [[nodiscard]] std::shared_ptr< AttributeBase > find_attribute_base(
            std::string_view name ) const;

        // The VariableAttribute< T > of that name; throws a TessarkException
        // naming it when it is absent or of another type.
        template < typename T >
        [[nodiscard]] std::shared_ptr< VariableAttribute< T > > find_attribute(
            std::string_view name ) const
        {
            auto existing = find_attribute_base( name );
            TESSARK_EXCEPTION( existing != nullptr,
                "[AttributeManager::find_attribute] No attribute \"", name,
                "\"" );
            auto typed =
                std::dynamic_pointer_cast< VariableAttribute< T > >( existing );
            TESSARK_EXCEPTION( typed != nullptr,
                "[AttributeManager::find_attribute] Attribute \"", name,
                "\" has type ", existing->type_name(), ", requested with type ",
                attribute_type_name( typeid( T ) ) );
            return typed;
        }

        // Registers an attribute built by the caller under the name, replacing
        // any attribute of that name. The attribute is resized to
        // nb_elements(): existing values are kept, missing ones are default.
        void register_attribute(
            std::shared_ptr< AttributeBase > attribute, std::string_view name );
        [[nodiscard]] bool attribute_exists( std::string_view name ) const;
        // Names in registration order.
        [[nodiscard]] std::vector< std::string > attribute_names() const;
        // Removes the attribute of that name, if any. Holders of its shared
        // pointer keep a detached attribute that no longer follows the mesh.
        void delete_attribute( std::string_view name );

        // The lock of look-up and registration. It is recursive, so a caller
        // may hold it around several manager calls.
        [[nodiscard]] std::recursive_mutex& mutex() const
        {
            return mutex_;
        }

        // Element operations, called by the mesh as its elements change.
        void resize( index_t nb_elements );
        // to_delete has one flag per element; survivors keep their values.
        void delete_elements( const std::vector< bool >& to_delete );
        // old2new must be a permutation of [0, nb_elements()).
        void permute_elements( absl::Span< const index_t > old2new );
        // Copies the value of `from` to `to` for the assignable attributes.
        void assign_attribute_value( index_t from, index_t to );
        // Sets the value of `to` to the weighted sum of the sources for the
        // interpolable attributes whose type can be blended.
        void interpolate_attribute_value(
            const AttributeLinearInterpolation& interpolation, index_t to );

        // Replaces the content of this manager by a copy of the transferable
        // attributes of `from`, with its number of elements.
        void copy( const AttributeManager& from );
        // For every transferable attribute of `from`, finds or creates the
        // attribute of the same name and type here, then copies the value of
        // each element i of `from` to element from2to[i] (NO_ID: not copied).
        // Throws naming the attribute when the name exists here with another
        // type.
        void copy_attribute_values(
            const AttributeManager& from, absl::Span< const index_t > from2to );

    private:
        [[nodiscard]] std::shared_ptr< AttributeBase >
        find_attribute_base_unlocked( std::string_view name ) const;
        void insert_attribute_unlocked(
            std::shared_ptr< AttributeBase > attribute, std::string_view name );

        index_t nb_elements_{ 0 };
        std::vector< std::shared_ptr< AttributeBase > > attributes_;
        mutable std::recursive_mutex mutex_;
    };
} // namespace brevane
