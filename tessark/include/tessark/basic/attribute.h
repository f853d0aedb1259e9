#pragma once

#include <cmath>
#include <concepts>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/attribute_interpolation.h>
#include <tessark/basic/attribute_properties.h>
#include <tessark/basic/common.h>
#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    class AttributeManager;

    // Readable name of a C++ type, for error messages.
    [[nodiscard]] std::string attribute_type_name( const std::type_info& type );

    // Types whose values can be blended: arithmetic types other than bool,
    // and classes with T * double -> T and T + T -> T (Point, Vector).
    template < typename T >
    concept BlendableClass = requires( const T& value, double weight ) {
        { value * weight } -> std::same_as< T >;
        { value + value } -> std::same_as< T >;
    };

    template < typename T >
    concept LinearlyInterpolable =
        ( std::is_arithmetic_v< T > && !std::is_same_v< T, bool > )
        || BlendableClass< T >;

    // One value per element of a mesh (vertices, polygons, edges...). The
    // values follow the creation, deletion and reordering of the elements
    // through the AttributeManager that holds the attribute. An attribute
    // belongs to a single manager.
    class AttributeBase
    {
    public:
        virtual ~AttributeBase() = default;

        AttributeBase( const AttributeBase& ) = delete;
        AttributeBase& operator=( const AttributeBase& ) = delete;

        // The name under which the attribute is registered, empty before.
        [[nodiscard]] std::string_view name() const
        {
            return name_;
        }
        [[nodiscard]] const AttributeProperties& properties() const
        {
            return properties_;
        }
        void set_properties( const AttributeProperties& properties )
        {
            properties_ = properties;
        }

        // The C++ type of the values, for diagnostics.
        [[nodiscard]] virtual std::string type_name() const = 0;
        [[nodiscard]] virtual index_t nb_elements() const = 0;
        // True when the value type can be blended by interpolate.
        [[nodiscard]] virtual bool is_interpolation_supported() const = 0;

        // New elements take the default value.
        virtual void resize( index_t nb_elements ) = 0;
        // Removes the flagged elements; survivors keep their values and their
        // relative order. to_delete has one flag per element.
        virtual void delete_elements(
            const std::vector< bool >& to_delete ) = 0;
        // The value of element i moves to old2new[i]; old2new is a
        // permutation of the element indices.
        virtual void permute_elements(
            absl::Span< const index_t > old2new ) = 0;
        // Copies the value of one element to another, whatever the flags.
        virtual void assign( index_t from, index_t to ) = 0;
        // Sets the value of `to` to the weighted sum of the sources; does
        // nothing when the value type cannot be blended.
        virtual void interpolate(
            const AttributeLinearInterpolation& interpolation, index_t to ) = 0;
        // For every element i of `from` (same value type) with
        // from2to[i] != NO_ID, sets the value of element from2to[i].
        virtual void copy_values( const AttributeBase& from,
            absl::Span< const index_t > from2to ) = 0;

        // A detached copy: same values, default and properties, no name.
        [[nodiscard]] virtual std::shared_ptr< AttributeBase > clone()
            const = 0;
        // A detached attribute of the same type, default and properties,
        // without elements.
        [[nodiscard]] virtual std::shared_ptr< AttributeBase > create_empty()
            const = 0;

    protected:
        explicit AttributeBase( const AttributeProperties& properties )
            : properties_( properties )
        {
        }

    private:
        friend class AttributeManager;

        std::string name_;
        AttributeProperties properties_;
    };

    // An attribute storing one value of type T per element, contiguously.
    // Values are wrapped in a one-member record so that bool is stored as one
    // byte per element (std::vector< bool > packs bits and cannot hand out
    // references).
    template < typename T >
    class VariableAttribute final : public AttributeBase
    {
        struct Cell
        {
            T value;
        };

    public:
        VariableAttribute( T default_value,
            const AttributeProperties& properties, index_t nb_elements = 0 )
            : AttributeBase{ properties },
              default_value_( std::move( default_value ) ),
              values_( nb_elements, Cell{ default_value_ } )
        {
        }

        [[nodiscard]] const T& value( index_t element ) const
        {
            check_element( element );
            return values_[element].value;
        }
        void set_value( index_t element, T value )
        {
            check_element( element );
            values_[element].value = std::move( value );
        }
        // Calls modifier( T& ) on the stored value, for in-place changes of
        // large values (vectors of ids).
        template < typename Modifier >
        void modify_value( index_t element, Modifier&& modifier )
        {
            check_element( element );
            std::forward< Modifier >( modifier )( values_[element].value );
        }
        [[nodiscard]] const T& default_value() const
        {
            return default_value_;
        }

        [[nodiscard]] std::string type_name() const override
        {
            return attribute_type_name( typeid( T ) );
        }
        [[nodiscard]] index_t nb_elements() const override
        {
            return static_cast< index_t >( values_.size() );
        }
        [[nodiscard]] bool is_interpolation_supported() const override
        {
            return LinearlyInterpolable< T >;
        }

        void resize( index_t nb_elements ) override
        {
            values_.resize( nb_elements, Cell{ default_value_ } );
        }
        void delete_elements( const std::vector< bool >& to_delete ) override
        {
            TESSARK_EXCEPTION( to_delete.size() == values_.size(),
                "[VariableAttribute::delete_elements] Attribute \"", name(),
                "\" has ", values_.size(), " elements, ", to_delete.size(),
                " deletion flags given" );
            std::size_t kept{ 0 };
            for( std::size_t element = 0; element < values_.size(); element++ )
            {
                if( to_delete[element] )
                {
                    continue;
                }
                if( kept != element )
                {
                    values_[kept] = std::move( values_[element] );
                }
                kept++;
            }
            values_.erase(
                values_.begin() + static_cast< std::ptrdiff_t >( kept ),
                values_.end() );
        }
        void permute_elements( absl::Span< const index_t > old2new ) override
        {
            TESSARK_EXCEPTION( old2new.size() == values_.size(),
                "[VariableAttribute::permute_elements] Attribute \"", name(),
                "\" has ", values_.size(), " elements, permutation has ",
                old2new.size() );
            std::vector< Cell > permuted(
                values_.size(), Cell{ default_value_ } );
            for( std::size_t element = 0; element < values_.size(); element++ )
            {
                TESSARK_EXCEPTION( old2new[element] < values_.size(),
                    "[VariableAttribute::permute_elements] Attribute \"",
                    name(), "\": element ", element, " mapped to ",
                    old2new[element], ", out of ", values_.size() );
                permuted[old2new[element]] = std::move( values_[element] );
            }
            values_ = std::move( permuted );
        }
        void assign( index_t from, index_t to ) override
        {
            check_element( from );
            check_element( to );
            if( from != to )
            {
                values_[to].value = values_[from].value;
            }
        }
        void interpolate( const AttributeLinearInterpolation& interpolation,
            index_t to ) override
        {
            if constexpr( LinearlyInterpolable< T > )
            {
                TESSARK_EXCEPTION( !interpolation.indices.empty()
                                       && interpolation.indices.size()
                                              == interpolation.lambdas.size(),
                    "[VariableAttribute::interpolate] Attribute \"", name(),
                    "\": ", interpolation.indices.size(), " indices and ",
                    interpolation.lambdas.size(),
                    " weights, expected the same non-zero number" );
                check_element( to );
                values_[to].value = weighted_sum( interpolation );
            }
        }
        void copy_values( const AttributeBase& from,
            absl::Span< const index_t > from2to ) override
        {
            const auto* source =
                dynamic_cast< const VariableAttribute* >( &from );
            TESSARK_EXCEPTION( source != nullptr,
                "[VariableAttribute::copy_values] Cannot copy values of type ",
                from.type_name(), " into attribute \"", name(), "\" of type ",
                type_name() );
            TESSARK_EXCEPTION( from2to.size() == source->values_.size(),
                "[VariableAttribute::copy_values] Attribute \"", name(),
                "\": mapping has ", from2to.size(), " entries for ",
                source->values_.size(), " source elements" );
            for( std::size_t element = 0; element < from2to.size(); element++ )
            {
                const auto target = from2to[element];
                if( target == NO_ID )
                {
                    continue;
                }
                check_element( target );
                values_[target].value = source->values_[element].value;
            }
        }

        [[nodiscard]] std::shared_ptr< AttributeBase > clone() const override
        {
            auto copy = std::make_shared< VariableAttribute >(
                default_value_, properties() );
            copy->values_ = values_;
            return copy;
        }
        [[nodiscard]] std::shared_ptr< AttributeBase > create_empty()
            const override
        {
            return std::make_shared< VariableAttribute >(
                default_value_, properties() );
        }

    private:
        void check_element( index_t element ) const
        {
            TESSARK_EXCEPTION( element < values_.size(),
                "[VariableAttribute] Element ", element,
                " out of range in attribute \"", name(), "\" (", values_.size(),
                " elements)" );
        }

        T weighted_sum( const AttributeLinearInterpolation& interpolation )
            const requires LinearlyInterpolable< T >
        {
            for( const auto index : interpolation.indices )
            {
                check_element( index );
            }
            if constexpr( std::is_arithmetic_v< T > )
            {
                double sum{ 0 };
                for( std::size_t i = 0; i < interpolation.indices.size(); i++ )
                {
                    sum += static_cast< double >(
                               values_[interpolation.indices[i]].value )
                           * interpolation.lambdas[i];
                }
                if constexpr( std::is_integral_v< T > )
                {
                    return static_cast< T >( std::round( sum ) );
                }
                else
                {
                    return static_cast< T >( sum );
                }
            }
            else
            {
                T sum = values_[interpolation.indices[0]].value
                        * interpolation.lambdas[0];
                for( std::size_t i = 1; i < interpolation.indices.size(); i++ )
                {
                    sum = sum
                          + values_[interpolation.indices[i]].value
                                * interpolation.lambdas[i];
                }
                return sum;
            }
        }

        T default_value_;
        std::vector< Cell > values_;
    };
} // namespace brevane
