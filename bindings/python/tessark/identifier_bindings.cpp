#include <string>

#include <pybind11/operators.h>
#include <pybind11/pybind11.h>

#include <tessark/basic/uuid.h>
#include <tessark/model/component_type.h>

#include <common/python_errors.h>

#include "bindings.h"

namespace py = pybind11;

namespace brevane::python
{
    namespace
    {
        // Equality with any object, as Python's __eq__ takes: an object of
        // another type is never equal (and != follows from ==).
        template < typename Value >
        bool equal_to( const Value& value, const py::object& other )
        {
            return py::isinstance< Value >( other )
                   && value == other.cast< const Value& >();
        }

        void bind_uuid( py::module_& module )
        {
            py::class_< uuid >( module, "uuid",
                "A 16-byte identifier of a component or a collection. "
                "Equal uuids hash equally, so a uuid is usable as a dict key "
                "or in a set." )
                .def( py::init<>(), "A new random uuid (version 4)." )
                .def( py::init(
                          []( const std::string& text )
                          {
                              return rethrow_as( ErrorKind::invalid_value,
                                  [&text]
                                  {
                                      return uuid{ text };
                                  } );
                          } ),
                    py::arg( "text" ),
                    "Parses the 8-4-4-4-12 hexadecimal form, upper or lower "
                    "case; raises InvalidValueError (a ValueError) naming the "
                    "text otherwise." )
                .def( "__str__", &uuid::string,
                    "The 8-4-4-4-12 lowercase hexadecimal form." )
                .def( "__repr__",
                    []( const uuid& id )
                    {
                        return "uuid('" + id.string() + "')";
                    } )
                .def( "__eq__", &equal_to< uuid >, py::arg( "other" ) )
                .def( py::self < py::self )
                .def( "__hash__",
                    []( const uuid& id )
                    {
                        return py::hash( py::str( id.string() ) );
                    } )
                .def_property_readonly(
                    "bytes",
                    []( const uuid& id )
                    {
                        const auto& bytes = id.bytes();
                        return py::bytes(
                            reinterpret_cast< const char* >( bytes.data() ),
                            bytes.size() );
                    },
                    "bytes: The 16 bytes, most significant first." )
                .def( py::pickle(
                    []( const uuid& id )
                    {
                        return py::make_tuple( id.string() );
                    },
                    []( const py::tuple& state )
                    {
                        return uuid{ state[0].cast< std::string >() };
                    } ) );
        }

        // The kind of that name; InvalidValueError naming the kinds there
        // are when no component or collection is of that kind.
        ComponentType known_type( const std::string& name )
        {
            const ComponentType type{ name };
            for( const auto* known : { &component_types::corner(),
                     &component_types::line(), &component_types::surface(),
                     &component_types::block(),
                     &component_types::model_boundary(),
                     &component_types::surface_collection(),
                     &component_types::horizon(), &component_types::fault(),
                     &component_types::fault_block() } )
            {
                if( type == *known )
                {
                    return type;
                }
            }
            throw PythonError{ ErrorKind::invalid_value,
                concatenate( "No component or collection is of the kind \"",
                    name,
                    "\" (Corner, Line, Surface, Block, ModelBoundary, "
                    "SurfaceCollection, Horizon, Fault or FaultBlock)" ) };
        }

        void bind_component_id( py::module_& module )
        {
            py::class_< ComponentID >( module, "ComponentID",
                "A component or collection of a model: its kind (\"Corner\", "
                "\"Line\", \"Surface\", \"Block\", \"ModelBoundary\", "
                "\"Horizon\", \"Fault\", \"FaultBlock\" or "
                "\"SurfaceCollection\") and its uuid. Hashable." )
                .def( py::init(
                          []( const std::string& type, const uuid& id )
                          {
                              return ComponentID{ known_type( type ), id };
                          } ),
                    py::arg( "type" ), py::arg( "id" ),
                    "InvalidValueError (a ValueError) for a kind the models "
                    "do not have." )
                .def_property_readonly(
                    "type",
                    []( const ComponentID& component )
                    {
                        return std::string{ component.type().get() };
                    },
                    "str: The kind, such as \"Surface\"." )
                .def_property_readonly(
                    "id", &ComponentID::id, "uuid: The uuid." )
                .def( "__str__", &ComponentID::string,
                    "\"<kind> <uuid>\", as in the library's messages." )
                .def( "__repr__",
                    []( const ComponentID& component )
                    {
                        return concatenate( "ComponentID('",
                            component.type().get(), "', uuid('",
                            component.id().string(), "'))" );
                    } )
                .def( "__eq__", &equal_to< ComponentID >, py::arg( "other" ) )
                .def( "__hash__",
                    []( const ComponentID& component )
                    {
                        return py::hash( py::str( component.string() ) );
                    } );
        }

        void bind_component_mesh_vertex( py::module_& module )
        {
            py::class_< ComponentMeshVertex >( module, "ComponentMeshVertex",
                "One vertex of one component mesh: the component and the "
                "vertex index in its mesh. Hashable." )
                .def( py::init(
                          []( const ComponentID& component, index_t vertex )
                          {
                              return ComponentMeshVertex{ component, vertex };
                          } ),
                    py::arg( "component_id" ), py::arg( "vertex" ) )
                .def_readonly( "component_id",
                    &ComponentMeshVertex::component_id,
                    "ComponentID: The component." )
                .def_readonly( "vertex", &ComponentMeshVertex::vertex,
                    "int: The vertex index in the component's mesh." )
                .def( "__str__", &ComponentMeshVertex::string )
                .def( "__repr__",
                    []( const ComponentMeshVertex& value )
                    {
                        return concatenate( "ComponentMeshVertex(",
                            py::repr( py::cast( value.component_id ) )
                                .cast< std::string >(),
                            ", ", value.vertex, ")" );
                    } )
                .def( "__eq__", &equal_to< ComponentMeshVertex >,
                    py::arg( "other" ) )
                .def( "__hash__",
                    []( const ComponentMeshVertex& value )
                    {
                        return py::hash( py::str( value.string() ) );
                    } );
        }
    } // namespace

    void bind_identifiers( py::module_& module )
    {
        bind_uuid( module );
        bind_component_id( module );
        bind_component_mesh_vertex( module );
    }
} // namespace brevane::python
