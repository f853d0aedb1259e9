#pragma once

#include <string>
#include <utility>

#include <pybind11/pybind11.h>

#include <tessark/basic/string_concatenation.h>

// Helpers that give the signatures pybind11 writes (and the stubs made from
// them) the types a Python caller sees, where the C++ type alone would say
// "object".
namespace brevane::python
{
    // A Python object returned as the Python type of Declared: the mesh
    // property of a surface is typed SurfaceMesh while the object is the
    // handle of its most derived kind (TriangulatedSurface...).
    template < typename Declared >
    struct ObjectOf
    {
        pybind11::object object;
    };

    // Any Python object taken as an argument typed as Value: the function
    // converts it itself, so that a wrong type gets a message naming what
    // was being set instead of pybind11's list of overloads.
    template < typename Value >
    struct ArgumentOf
    {
        pybind11::object object;
    };

    // The Python text of Value's type, such as "float" or
    // "List[tessark.FaultParameters]".
    template < typename Value >
    [[nodiscard]] std::string python_type_text()
    {
        constexpr auto name = pybind11::detail::make_caster< Value >::name;
        const auto types = decltype( name )::types();
        std::string text;
        std::size_t next{ 0 };
        for( const char* character = name.text; *character != '\0';
             character++ )
        {
            if( *character != '%' )
            {
                text += *character;
                continue;
            }
            const auto* info =
                pybind11::detail::get_type_info( *types[next++] );
            text += info != nullptr ? info->type->tp_name : "object";
        }
        return text;
    }

    // The value converted to Value, or a TypeError naming the property:
    // "SampleBox.length_x takes float, not str".
    template < typename Value >
    [[nodiscard]] Value converted(
        const pybind11::object& object, const char* property )
    {
        pybind11::detail::make_caster< Value > caster;
        if( !caster.load( object, true ) )
        {
            throw pybind11::type_error{ concatenate( property, " takes ",
                python_type_text< Value >(), ", not ",
                pybind11::str( pybind11::type::handle_of( object ).attr(
                                   "__name__" ) )
                    .cast< std::string >() ) };
        }
        return pybind11::detail::cast_op< Value >( std::move( caster ) );
    }

    // The getter and setter of a read-write property of a member, for
    // def_property: the getter returns a copy, the setter names the
    // property (such as "SampleBox.length_x") in its type errors.
    template < typename Class, typename Value >
    [[nodiscard]] auto member_getter( Value Class::*member )
    {
        return [member]( const Class& object )
        {
            return object.*member;
        };
    }

    // The getter of a member that is a nested record, changed in place
    // through it: it refers to the member and keeps its owner alive.
    template < typename Class, typename Value >
    [[nodiscard]] pybind11::cpp_function member_reference( Value Class::*member )
    {
        return pybind11::cpp_function(
            [member]( Class& object ) -> Value&
            {
                return object.*member;
            },
            pybind11::return_value_policy::reference_internal );
    }

    template < typename Class, typename Value >
    [[nodiscard]] auto member_setter(
        Value Class::*member, std::string property )
    {
        return [member, property = std::move( property )](
                   Class& object, const ArgumentOf< Value >& value )
        {
            object.*member =
                converted< Value >( value.object, property.c_str() );
        };
    }
} // namespace brevane::python

namespace pybind11::detail
{
    template < typename Declared >
    struct type_caster< brevane::python::ObjectOf< Declared > >
    {
        PYBIND11_TYPE_CASTER( brevane::python::ObjectOf< Declared >,
            make_caster< Declared >::name );

        static handle cast( const brevane::python::ObjectOf< Declared >& value,
            return_value_policy /*policy*/, handle /*parent*/ )
        {
            return value.object.inc_ref();
        }
    };

    template < typename Value >
    struct type_caster< brevane::python::ArgumentOf< Value > >
    {
        PYBIND11_TYPE_CASTER( brevane::python::ArgumentOf< Value >,
            make_caster< Value >::name );

        bool load( handle source, bool /*convert*/ )
        {
            value.object = reinterpret_borrow< object >( source );
            return true;
        }
    };
} // namespace pybind11::detail
