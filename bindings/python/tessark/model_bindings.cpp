#include <string>
#include <tuple>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <common/python_errors.h>
#include <common/python_types.h>

#include "bindings.h"

namespace py = pybind11;

namespace brevane::python
{
    namespace
    {
        // The mesh handle a component's mesh is declared as in Python; the
        // object is the handle of the mesh's most derived kind.
        template < typename Component >
        struct DeclaredMesh;
        template <>
        struct DeclaredMesh< Corner< 3 > >
        {
            using type = PointSetHandle;
            static constexpr auto doc =
                "PointSet: The mesh, as the handle of its most derived kind.";
        };
        template <>
        struct DeclaredMesh< Line< 3 > >
        {
            using type = EdgedCurveHandle;
            static constexpr auto doc =
                "EdgedCurve: The mesh, as the handle of its most derived kind.";
        };
        template <>
        struct DeclaredMesh< Surface< 3 > >
        {
            using type = SurfaceMeshHandle;
            static constexpr auto doc =
                "SurfaceMesh: The mesh, as the handle of its most derived kind.";
        };
        template <>
        struct DeclaredMesh< Block< 3 > >
        {
            using type = SolidMeshHandle;
            static constexpr auto doc =
                "SolidMesh: The mesh, as the handle of its most derived kind.";
        };

        // Equality of two handles: the same model and the same uuid.
        template < typename Handle >
        bool same_handle( const Handle& handle, const py::object& other )
        {
            if( !py::isinstance< Handle >( other ) )
            {
                return false;
            }
            const auto& other_handle = other.cast< const Handle& >();
            return handle.model == other_handle.model
                   && handle.key() == other_handle.key();
        }

        template < typename Component >
        void bind_component( py::module_& module, const char* python_name,
            const char* description )
        {
            using Handle = ComponentHandle< Component >;
            py::class_< Handle >( module, python_name,
                ( std::string{ description }
                    + " It is looked up in its model at every use: when the "
                      "model no longer has it (a pillar build rebuilds lines "
                      "and corners under new uuids), a RuntimeError names "
                      "its uuid." )
                    .c_str() )
                .def_property_readonly(
                    "id",
                    []( const Handle& handle )
                    {
                        return handle.id;
                    },
                    "uuid: The uuid." )
                .def_property_readonly(
                    "name",
                    []( const Handle& handle )
                    {
                        return std::string{ handle.component().name() };
                    },
                    "str: The free name." )
                .def_property_readonly(
                    "component_id",
                    []( const Handle& handle )
                    {
                        return handle.component().component_id();
                    },
                    "ComponentID: The kind and uuid, as used by the relation "
                    "queries of StructuralModel." )
                .def_property_readonly(
                    "mesh",
                    []( const Handle& handle )
                    {
                        return ObjectOf<
                            typename DeclaredMesh< Component >::type >{
                            mesh_object( handle.model,
                                handle.component().component_id() )
                        };
                    },
                    DeclaredMesh< Component >::doc )
                .def( "__repr__",
                    [python_name]( const Handle& handle )
                    {
                        if( !handle.exists() )
                        {
                            return concatenate( "<", python_name, " ",
                                handle.id.string(),
                                " (stale: no longer in its model)>" );
                        }
                        return concatenate( "<", python_name, " '",
                            handle.component().name(), "' ", handle.id.string(),
                            ">" );
                    } )
                .def( "__eq__", &same_handle< Handle >, py::arg( "other" ) )
                .def( "__hash__",
                    []( const Handle& handle )
                    {
                        return py::hash( py::str( handle.id.string() ) );
                    } );
        }

        void bind_collection( py::module_& module )
        {
            py::class_< CollectionHandle >( module, "Collection",
                "A named group of components of a model: a model boundary, "
                "surface collection, horizon, fault or fault block. It is "
                "looked up in its model at every use." )
                .def_property_readonly(
                    "id",
                    []( const CollectionHandle& handle )
                    {
                        return handle.collection.id();
                    },
                    "uuid: The uuid." )
                .def_property_readonly(
                    "name",
                    []( const CollectionHandle& handle )
                    {
                        return std::string{ handle.get().name() };
                    },
                    "str: The free name." )
                .def_property_readonly(
                    "type",
                    []( const CollectionHandle& handle )
                    {
                        return std::string{ handle.collection.type().get() };
                    },
                    "str: The kind, \"ModelBoundary\", \"SurfaceCollection\", "
                    "\"Horizon\", \"Fault\" or \"FaultBlock\"." )
                .def_property_readonly(
                    "component_id",
                    []( const CollectionHandle& handle )
                    {
                        return handle.collection;
                    },
                    "ComponentID: The kind and uuid." )
                .def_property_readonly(
                    "items",
                    []( const CollectionHandle& handle )
                    {
                        return handle.model->items( handle.get().id() );
                    },
                    "List[ComponentID]: The components of the collection, "
                    "in insertion order (a new list)." )
                .def( "__repr__",
                    []( const CollectionHandle& handle )
                    {
                        if( !handle.exists() )
                        {
                            return concatenate( "<Collection ",
                                handle.collection.string(),
                                " (stale: no longer in its model)>" );
                        }
                        const auto& collection = handle.get();
                        return concatenate( "<Collection ",
                            handle.collection.type().get(), " '",
                            collection.name(), "' ", collection.id().string(),
                            ", ", handle.model->nb_items( collection.id() ),
                            " items>" );
                    } )
                .def( "__eq__", &same_handle< CollectionHandle >,
                    py::arg( "other" ) )
                .def( "__hash__",
                    []( const CollectionHandle& handle )
                    {
                        return py::hash(
                            py::str( handle.collection.string() ) );
                    } );
        }

        template < typename Component >
        std::vector< ComponentHandle< Component > > component_list(
            const ModelPointer& model,
            const ComponentSet< Component >& components )
        {
            std::vector< ComponentHandle< Component > > list;
            for( const auto& component : components )
            {
                list.push_back( { model, component.id() } );
            }
            return list;
        }

        template < typename Component >
        ComponentHandle< Component > component_handle(
            const ModelPointer& model, const uuid& id )
        {
            ComponentHandle< Component > handle{ model, id };
            // Looked up once now, so that an absent uuid raises where it is
            // asked for rather than at the first use of the handle.
            static_cast< void >( handle.component() );
            return handle;
        }

        std::vector< CollectionHandle > collection_list(
            const ModelPointer& model, const ComponentSet< Collection >& set )
        {
            std::vector< CollectionHandle > list;
            for( const auto& collection : set )
            {
                list.push_back( { model, collection.component_id() } );
            }
            return list;
        }

        CollectionHandle collection_handle(
            const ModelPointer& model, const Collection& collection )
        {
            return CollectionHandle{ model, collection.component_id() };
        }

        constexpr auto RELATION_DOC =
            " Takes the uuid of a component or collection; returns a new "
            "list of ComponentID in the order the relations were added.";

        std::string relation_doc( const char* what )
        {
            return std::string{ what } + RELATION_DOC;
        }

        void bind_components_access(
            py::class_< StructuralModel, ModelPointer >& model_class )
        {
            model_class
                .def(
                    "corners",
                    []( const ModelPointer& model )
                    {
                        return component_list( model, model->corners() );
                    },
                    "The corners, in insertion order: a new list of Corner." )
                .def(
                    "lines",
                    []( const ModelPointer& model )
                    {
                        return component_list( model, model->lines() );
                    },
                    "The lines, in insertion order: a new list of Line." )
                .def(
                    "surfaces",
                    []( const ModelPointer& model )
                    {
                        return component_list( model, model->surfaces() );
                    },
                    "The surfaces, in insertion order: a new list of "
                    "Surface." )
                .def(
                    "blocks",
                    []( const ModelPointer& model )
                    {
                        return component_list( model, model->blocks() );
                    },
                    "The blocks, in insertion order: a new list of Block." )
                .def( "corner", &component_handle< Corner< 3 > >,
                    py::arg( "id" ),
                    "The corner with that uuid; RuntimeError when absent." )
                .def( "line", &component_handle< Line< 3 > >, py::arg( "id" ),
                    "The line with that uuid; RuntimeError when absent." )
                .def( "surface", &component_handle< Surface< 3 > >,
                    py::arg( "id" ),
                    "The surface with that uuid; RuntimeError when absent." )
                .def( "block", &component_handle< Block< 3 > >, py::arg( "id" ),
                    "The block with that uuid; RuntimeError when absent." )
                .def( "has_corner", &StructuralModel::has_corner,
                    py::arg( "id" ),
                    "Whether the model has a corner with that uuid." )
                .def( "has_line", &StructuralModel::has_line, py::arg( "id" ),
                    "Whether the model has a line with that uuid." )
                .def( "has_surface", &StructuralModel::has_surface,
                    py::arg( "id" ),
                    "Whether the model has a surface with that uuid." )
                .def( "has_block", &StructuralModel::has_block, py::arg( "id" ),
                    "Whether the model has a block with that uuid." )
                .def( "nb_corners", &StructuralModel::nb_corners,
                    "The number of corners." )
                .def( "nb_lines", &StructuralModel::nb_lines,
                    "The number of lines." )
                .def( "nb_surfaces", &StructuralModel::nb_surfaces,
                    "The number of surfaces." )
                .def( "nb_blocks", &StructuralModel::nb_blocks,
                    "The number of blocks." );
        }

        void bind_relations(
            py::class_< StructuralModel, ModelPointer >& model_class )
        {
            model_class
                .def( "boundaries", &StructuralModel::boundaries,
                    py::arg( "id" ),
                    relation_doc( "The components bounding the component "
                                  "(the lines of a surface...)." )
                        .c_str() )
                .def( "incidences", &StructuralModel::incidences,
                    py::arg( "id" ),
                    relation_doc( "The components the component bounds (the "
                                  "surfaces of a line...)." )
                        .c_str() )
                .def( "internal_components",
                    &StructuralModel::internal_components, py::arg( "id" ),
                    relation_doc( "The components embedded in the component "
                                  "(lines and corners inside a surface...)." )
                        .c_str() )
                .def( "embeddings", &StructuralModel::embeddings,
                    py::arg( "id" ),
                    relation_doc(
                        "The components the component is embedded in." )
                        .c_str() )
                .def( "items", &StructuralModel::items, py::arg( "id" ),
                    relation_doc( "The items of a collection." ).c_str() )
                .def( "collections", &StructuralModel::collections,
                    py::arg( "id" ),
                    relation_doc( "The collections the component is an item "
                                  "of." )
                        .c_str() );
        }

        void bind_collections_access(
            py::class_< StructuralModel, ModelPointer >& model_class )
        {
            model_class
                .def(
                    "model_boundaries",
                    []( const ModelPointer& model )
                    {
                        return collection_list(
                            model, model->model_boundaries() );
                    },
                    "The model boundaries: a new list of Collection." )
                .def(
                    "surface_collections",
                    []( const ModelPointer& model )
                    {
                        return collection_list(
                            model, model->surface_collections() );
                    },
                    "The generic surface collections: a new list of "
                    "Collection." )
                .def(
                    "horizons",
                    []( const ModelPointer& model )
                    {
                        return collection_list( model, model->horizons() );
                    },
                    "The horizons: a new list of Collection." )
                .def(
                    "faults",
                    []( const ModelPointer& model )
                    {
                        return collection_list( model, model->faults() );
                    },
                    "The faults: a new list of Collection." )
                .def(
                    "fault_blocks",
                    []( const ModelPointer& model )
                    {
                        return collection_list( model, model->fault_blocks() );
                    },
                    "The fault blocks: a new list of Collection." )
                .def(
                    "model_boundary",
                    []( const ModelPointer& model, const uuid& id )
                    {
                        return collection_handle(
                            model, model->model_boundary( id ) );
                    },
                    py::arg( "id" ),
                    "The model boundary with that uuid; RuntimeError when "
                    "absent." )
                .def(
                    "surface_collection",
                    []( const ModelPointer& model, const uuid& id )
                    {
                        return collection_handle(
                            model, model->surface_collection( id ) );
                    },
                    py::arg( "id" ),
                    "The surface collection with that uuid; RuntimeError "
                    "when absent." )
                .def(
                    "horizon",
                    []( const ModelPointer& model, const uuid& id )
                    {
                        return collection_handle( model, model->horizon( id ) );
                    },
                    py::arg( "id" ),
                    "The horizon with that uuid; RuntimeError when absent." )
                .def(
                    "fault",
                    []( const ModelPointer& model, const uuid& id )
                    {
                        return collection_handle( model, model->fault( id ) );
                    },
                    py::arg( "id" ),
                    "The fault with that uuid; RuntimeError when absent." )
                .def(
                    "fault_block",
                    []( const ModelPointer& model, const uuid& id )
                    {
                        return collection_handle(
                            model, model->fault_block( id ) );
                    },
                    py::arg( "id" ),
                    "The fault block with that uuid; RuntimeError when "
                    "absent." )
                .def( "nb_horizons", &StructuralModel::nb_horizons,
                    "The number of horizons." )
                .def( "nb_faults", &StructuralModel::nb_faults,
                    "The number of faults." )
                .def( "nb_fault_blocks", &StructuralModel::nb_fault_blocks,
                    "The number of fault blocks." );
        }

        std::string model_repr( const StructuralModel& model )
        {
            return concatenate( "<StructuralModel: ", model.nb_corners(),
                " corners, ", model.nb_lines(), " lines, ", model.nb_surfaces(),
                " surfaces, ", model.nb_blocks(), " blocks, ",
                model.nb_horizons(), " horizons, ", model.nb_faults(),
                " faults, ", model.nb_fault_blocks(), " fault blocks, ",
                model.model_boundaries().size(), " model boundaries, ",
                model.surface_collections().size(), " surface collections, ",
                model.nb_unique_vertices(), " unique vertices>" );
        }

        using Coordinates = std::tuple< double, double, double >;

        std::tuple< Coordinates, Coordinates > bounding_box_of(
            const StructuralModel& model )
        {
            const auto box = model.bounding_box();
            const auto& min = box.min().values();
            const auto& max = box.max().values();
            return { { min[0], min[1], min[2] }, { max[0], max[1], max[2] } };
        }
    } // namespace

    const Collection& CollectionHandle::get() const
    {
        const auto& type = collection.type();
        const auto& id = collection.id();
        if( type == component_types::model_boundary() )
        {
            return model->model_boundary( id );
        }
        if( type == component_types::surface_collection() )
        {
            return model->surface_collection( id );
        }
        if( type == component_types::horizon() )
        {
            return model->horizon( id );
        }
        if( type == component_types::fault() )
        {
            return model->fault( id );
        }
        return model->fault_block( id );
    }

    void bind_model( py::module_& module )
    {
        bind_component< Corner< 3 > >(
            module, "Corner", "A corner of a model: a point set mesh." );
        bind_component< Line< 3 > >(
            module, "Line", "A line of a model: an edged curve mesh." );
        bind_component< Surface< 3 > >( module, "Surface",
            "A surface of a model: a triangulated or polygonal surface "
            "mesh." );
        bind_component< Block< 3 > >(
            module, "Block", "A block of a model: a solid mesh." );
        bind_collection( module );

        py::class_< StructuralModel, ModelPointer > model_class( module,
            "StructuralModel",
            "A structural model: corners, lines, surfaces and blocks with "
            "their meshes, the relations between them, collections of them "
            "(model boundaries, horizons, faults, fault blocks, surface "
            "collections) and the unique vertices binding their mesh "
            "vertices. Read only from Python, except for the unique vertex "
            "positions. Components, collections and meshes "
            "obtained from a model keep it alive." );
        model_class.def( py::init<>(), "An empty model." )
            .def(
                "clone",
                []( const StructuralModel& model )
                {
                    return without_gil(
                        [&model]
                        {
                            return std::make_shared< StructuralModel >(
                                model.clone() );
                        } );
                },
                "A deep copy: same uuids, names, meshes, relations, "
                "collections and unique vertices." )
            .def( "bounding_box", &bounding_box_of,
                "The box of every vertex of every component mesh: "
                "((x_min, y_min, z_min), (x_max, y_max, z_max))." )
            .def( "__repr__", &model_repr );
        bind_components_access( model_class );
        bind_relations( model_class );
        bind_collections_access( model_class );
        bind_model_geometry( model_class );
    }
} // namespace brevane::python
