#include <tessark/basic/attribute_manager.h>

#include <algorithm>

namespace brevane
{
    AttributeManager::AttributeManager() = default;

    AttributeManager::~AttributeManager() = default;

    std::shared_ptr< AttributeBase > AttributeManager::find_attribute_base(
        std::string_view name ) const
    {
        std::lock_guard< std::recursive_mutex > guard{ mutex_ };
        return find_attribute_base_unlocked( name );
    }

    std::shared_ptr< AttributeBase >
    AttributeManager::find_attribute_base_unlocked(
        std::string_view name ) const
    {
        for( const auto& attribute : attributes_ )
        {
            if( attribute->name() == name )
            {
                return attribute;
            }
        }
        return nullptr;
    }

    void AttributeManager::insert_attribute_unlocked(
        std::shared_ptr< AttributeBase > attribute, std::string_view name )
    {
        attribute->name_ = std::string{ name };
        attribute->resize( nb_elements_ );
        for( auto& existing : attributes_ )
        {
            if( existing->name() == name )
            {
                existing = std::move( attribute );
                return;
            }
        }
        attributes_.push_back( std::move( attribute ) );
    }

    void AttributeManager::register_attribute(
        std::shared_ptr< AttributeBase > attribute, std::string_view name )
    {
        TESSARK_EXCEPTION( attribute != nullptr,
            "[AttributeManager::register_attribute] Null attribute given for "
            "\"",
            name, "\"" );
        TESSARK_EXCEPTION( !name.empty(),
            "[AttributeManager::register_attribute] Attribute names cannot be "
            "empty" );
        std::lock_guard< std::recursive_mutex > guard{ mutex_ };
        insert_attribute_unlocked( std::move( attribute ), name );
    }

    bool AttributeManager::attribute_exists( std::string_view name ) const
    {
        return find_attribute_base( name ) != nullptr;
    }

    std::vector< std::string > AttributeManager::attribute_names() const
    {
        std::lock_guard< std::recursive_mutex > guard{ mutex_ };
        std::vector< std::string > names;
        names.reserve( attributes_.size() );
        for( const auto& attribute : attributes_ )
        {
            names.emplace_back( attribute->name() );
        }
        return names;
    }

    void AttributeManager::delete_attribute( std::string_view name )
    {
        std::lock_guard< std::recursive_mutex > guard{ mutex_ };
        std::erase_if( attributes_,
            [name]( const auto& attribute )
            {
                return attribute->name() == name;
            } );
    }

    void AttributeManager::resize( index_t nb_elements )
    {
        for( auto& attribute : attributes_ )
        {
            attribute->resize( nb_elements );
        }
        nb_elements_ = nb_elements;
    }

    void AttributeManager::delete_elements(
        const std::vector< bool >& to_delete )
    {
        TESSARK_EXCEPTION( to_delete.size() == nb_elements_,
            "[AttributeManager::delete_elements] ", to_delete.size(),
            " deletion flags given for ", nb_elements_, " elements" );
        for( auto& attribute : attributes_ )
        {
            attribute->delete_elements( to_delete );
        }
        nb_elements_ = static_cast< index_t >(
            std::count( to_delete.begin(), to_delete.end(), false ) );
    }

    void AttributeManager::permute_elements(
        absl::Span< const index_t > old2new )
    {
        TESSARK_EXCEPTION( old2new.size() == nb_elements_,
            "[AttributeManager::permute_elements] Permutation of size ",
            old2new.size(), " given for ", nb_elements_, " elements" );
        std::vector< bool > reached( nb_elements_, false );
        for( index_t element = 0; element < nb_elements_; element++ )
        {
            const auto target = old2new[element];
            TESSARK_EXCEPTION( target < nb_elements_ && !reached[target],
                "[AttributeManager::permute_elements] Not a permutation: "
                "element ",
                element, " mapped to ", target );
            reached[target] = true;
        }
        for( auto& attribute : attributes_ )
        {
            attribute->permute_elements( old2new );
        }
    }

    void AttributeManager::assign_attribute_value( index_t from, index_t to )
    {
        TESSARK_EXCEPTION( from < nb_elements_ && to < nb_elements_,
            "[AttributeManager::assign_attribute_value] Elements ", from,
            " and ", to, " must be below ", nb_elements_ );
        for( auto& attribute : attributes_ )
        {
            if( attribute->properties().assignable )
            {
                attribute->assign( from, to );
            }
        }
    }

    void AttributeManager::interpolate_attribute_value(
        const AttributeLinearInterpolation& interpolation, index_t to )
    {
        TESSARK_EXCEPTION( to < nb_elements_,
            "[AttributeManager::interpolate_attribute_value] Element ", to,
            " must be below ", nb_elements_ );
        for( auto& attribute : attributes_ )
        {
            if( attribute->properties().interpolable
                && attribute->is_interpolation_supported() )
            {
                attribute->interpolate( interpolation, to );
            }
        }
    }

    void AttributeManager::copy( const AttributeManager& from )
    {
        if( &from == this )
        {
            return;
        }
        std::scoped_lock guard{ mutex_, from.mutex_ };
        attributes_.clear();
        nb_elements_ = from.nb_elements_;
        for( const auto& attribute : from.attributes_ )
        {
            if( !attribute->properties().transferable )
            {
                continue;
            }
            auto copy = attribute->clone();
            copy->name_ = attribute->name_;
            attributes_.push_back( std::move( copy ) );
        }
    }

    void AttributeManager::copy_attribute_values(
        const AttributeManager& from, absl::Span< const index_t > from2to )
    {
        TESSARK_EXCEPTION( &from != this,
            "[AttributeManager::copy_attribute_values] Source and target are "
            "the same manager" );
        TESSARK_EXCEPTION( from2to.size() == from.nb_elements_,
            "[AttributeManager::copy_attribute_values] Mapping has ",
            from2to.size(), " entries for ", from.nb_elements_,
            " source elements" );
        std::scoped_lock guard{ mutex_, from.mutex_ };
        for( const auto& source : from.attributes_ )
        {
            if( !source->properties().transferable )
            {
                continue;
            }
            auto target = find_attribute_base_unlocked( source->name() );
            if( target == nullptr )
            {
                target = source->create_empty();
                insert_attribute_unlocked( target, source->name() );
            }
            TESSARK_EXCEPTION( target->type_name() == source->type_name(),
                "[AttributeManager::copy_attribute_values] Attribute \"",
                source->name(), "\" has type ", target->type_name(),
                " here and ", source->type_name(), " in the source" );
            target->copy_values( *source, from2to );
        }
    }
} // namespace brevane
