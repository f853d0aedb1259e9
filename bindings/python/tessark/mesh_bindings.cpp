#include <cstdint>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/polyhedron_type.h>
#include <tessark/mesh/polyhedron_volume.h>
#include <tessark/mesh/solid_mesh.h>
#include <tessark/mesh/triangulated_surface.h>

#include "bindings.h"

namespace py = pybind11;

// Every array is a new copy of the mesh at the time of the call: it stays
// valid and unchanged whatever happens to the model later, and writing into
// it does not change the model.
namespace brevane::python
{
    namespace
    {
        constexpr auto COPY_RULE =
            " A new copy at each access: it does not follow later changes of "
            "the model, and writing into it does not change the mesh.";

        template < typename Mesh >
        py::array_t< double > points_of( const Mesh& mesh )
        {
            py::array_t< double > points(
                { static_cast< py::ssize_t >( mesh.nb_vertices() ),
                    py::ssize_t{ 3 } } );
            auto values = points.mutable_unchecked< 2 >();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                const auto& point = mesh.point( vertex );
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    values( vertex, axis ) = point.value( axis );
                }
            }
            return points;
        }

        py::array_t< double > mesh_points( const MeshHandle& handle )
        {
            const auto& type = handle.component.type();
            if( type == component_types::corner() )
            {
                return points_of( handle.mesh< PointSet< 3 > >( "point set" ) );
            }
            if( type == component_types::line() )
            {
                return points_of(
                    handle.mesh< EdgedCurve< 3 > >( "edged curve" ) );
            }
            if( type == component_types::surface() )
            {
                return points_of(
                    handle.mesh< SurfaceMesh< 3 > >( "surface mesh" ) );
            }
            return points_of( handle.mesh< SolidMesh< 3 > >( "solid mesh" ) );
        }

        py::array_t< std::uint32_t > index_array( py::ssize_t size )
        {
            return py::array_t< std::uint32_t >( { size } );
        }

        py::array_t< std::uint32_t > edges_of( const EdgedCurve< 3 >& mesh )
        {
            py::array_t< std::uint32_t > edges(
                { static_cast< py::ssize_t >( mesh.nb_edges() ),
                    py::ssize_t{ 2 } } );
            auto values = edges.mutable_unchecked< 2 >();
            for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
            {
                const auto& ends = mesh.edge_vertices( edge );
                values( edge, 0 ) = ends[0];
                values( edge, 1 ) = ends[1];
            }
            return edges;
        }

        py::array_t< std::uint32_t > triangles_of(
            const TriangulatedSurface< 3 >& mesh )
        {
            py::array_t< std::uint32_t > triangles(
                { static_cast< py::ssize_t >( mesh.nb_polygons() ),
                    py::ssize_t{ 3 } } );
            auto values = triangles.mutable_unchecked< 2 >();
            for( index_t triangle = 0; triangle < mesh.nb_polygons();
                 triangle++ )
            {
                for( local_index_t corner = 0; corner < 3; corner++ )
                {
                    values( triangle, corner ) =
                        mesh.polygon_vertex( { triangle, corner } );
                }
            }
            return triangles;
        }

        py::array_t< std::uint32_t > polygon_offsets_of(
            const SurfaceMesh< 3 >& mesh )
        {
            auto offsets = index_array( mesh.nb_polygons() + 1 );
            auto values = offsets.mutable_unchecked< 1 >();
            values( 0 ) = 0;
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                values( polygon + 1 ) =
                    values( polygon ) + mesh.nb_polygon_vertices( polygon );
            }
            return offsets;
        }

        py::array_t< std::uint32_t > polygon_vertices_of(
            const SurfaceMesh< 3 >& mesh )
        {
            py::ssize_t size{ 0 };
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                size += mesh.nb_polygon_vertices( polygon );
            }
            auto vertices = index_array( size );
            auto values = vertices.mutable_unchecked< 1 >();
            py::ssize_t position{ 0 };
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                for( const auto vertex : mesh.polygon_vertices( polygon ) )
                {
                    values( position++ ) = vertex;
                }
            }
            return vertices;
        }

        py::array_t< std::uint8_t > polyhedron_types_of(
            const SolidMesh< 3 >& mesh )
        {
            py::array_t< std::uint8_t > types(
                { static_cast< py::ssize_t >( mesh.nb_polyhedra() ) } );
            auto values = types.mutable_unchecked< 1 >();
            for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
                 polyhedron++ )
            {
                values( polyhedron ) = static_cast< std::uint8_t >(
                    mesh.polyhedron_type( polyhedron ) );
            }
            return types;
        }

        py::array_t< double > polyhedron_volumes_of(
            const SolidMesh< 3 >& mesh )
        {
            py::array_t< double > volumes(
                { static_cast< py::ssize_t >( mesh.nb_polyhedra() ) } );
            auto values = volumes.mutable_unchecked< 1 >();
            for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
                 polyhedron++ )
            {
                values( polyhedron ) = polyhedron_volume( mesh, polyhedron );
            }
            return volumes;
        }

        py::array_t< std::uint32_t > polyhedron_offsets_of(
            const SolidMesh< 3 >& mesh )
        {
            auto offsets = index_array( mesh.nb_polyhedra() + 1 );
            auto values = offsets.mutable_unchecked< 1 >();
            values( 0 ) = 0;
            for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
                 polyhedron++ )
            {
                values( polyhedron + 1 ) =
                    values( polyhedron )
                    + mesh.nb_polyhedron_vertices( polyhedron );
            }
            return offsets;
        }

        py::array_t< std::uint32_t > polyhedron_vertices_of(
            const SolidMesh< 3 >& mesh )
        {
            py::ssize_t size{ 0 };
            for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
                 polyhedron++ )
            {
                size += mesh.nb_polyhedron_vertices( polyhedron );
            }
            auto vertices = index_array( size );
            auto values = vertices.mutable_unchecked< 1 >();
            py::ssize_t position{ 0 };
            for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
                 polyhedron++ )
            {
                for( const auto vertex :
                    mesh.polyhedron_vertices( polyhedron ) )
                {
                    values( position++ ) = vertex;
                }
            }
            return vertices;
        }

        std::string doc( const char* what )
        {
            return std::string{ what } + COPY_RULE;
        }

        void bind_polyhedron_type( py::module_& module )
        {
            py::enum_< PolyhedronType >( module, "PolyhedronType",
                "The kinds of cells of a hybrid solid; the values are those "
                "of SolidMesh.polyhedron_types." )
                .value( "tetrahedron", PolyhedronType::tetrahedron )
                .value( "pyramid", PolyhedronType::pyramid )
                .value( "prism", PolyhedronType::prism )
                .value( "hexahedron", PolyhedronType::hexahedron );
        }

        void bind_mesh_base( py::module_& module )
        {
            py::class_< MeshHandle >( module, "Mesh",
                "The mesh of a model component. It is looked up in the "
                "model at every use: when the component is gone, or its mesh "
                "is no longer of this kind, a TessarkError names the "
                "component." )
                .def_property_readonly(
                    "component_id",
                    []( const MeshHandle& handle )
                    {
                        return handle.component;
                    },
                    "ComponentID: The component whose mesh this is." )
                .def_property_readonly(
                    "impl_name",
                    []( const MeshHandle& handle )
                    {
                        return std::string{ handle.vertex_set().impl_name() };
                    },
                    "str: The key of the mesh implementation, such as "
                    "\"TessarkTriangulatedSurface3D\"." )
                .def_property_readonly(
                    "nb_vertices",
                    []( const MeshHandle& handle )
                    {
                        return handle.vertex_set().nb_vertices();
                    },
                    "int: The number of vertices." )
                .def_property_readonly( "points", &mesh_points,
                    doc( "numpy.typing.NDArray[numpy.float64]: The vertex positions, float64, of "
                         "shape (nb_vertices, 3)." )
                        .c_str() )
                .def( "__repr__",
                    []( const MeshHandle& handle )
                    {
                        if( !handle.exists() )
                        {
                            return concatenate( "<Mesh of ",
                                handle.component.string(),
                                " (stale: no longer in its model)>" );
                        }
                        return concatenate( "<",
                            handle.vertex_set().impl_name(), " of ",
                            handle.component.string(), ", ",
                            handle.vertex_set().nb_vertices(), " vertices>" );
                    } );
        }

        void bind_point_set_and_curve( py::module_& module )
        {
            py::class_< PointSetHandle, MeshHandle >(
                module, "PointSet", "The mesh of a corner: its vertices." );
            py::class_< EdgedCurveHandle, MeshHandle >( module, "EdgedCurve",
                "The mesh of a line: vertices and edges between them." )
                .def_property_readonly(
                    "nb_edges",
                    []( const EdgedCurveHandle& handle )
                    {
                        return handle.mesh< EdgedCurve< 3 > >( "edged curve" )
                            .nb_edges();
                    },
                    "int: The number of edges." )
                .def_property_readonly(
                    "edges",
                    []( const EdgedCurveHandle& handle )
                    {
                        return edges_of(
                            handle.mesh< EdgedCurve< 3 > >( "edged curve" ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint32]: The two vertices of each edge, "
                         "uint32, of shape (nb_edges, 2)." )
                        .c_str() );
        }

        const SurfaceMesh< 3 >& surface_mesh( const SurfaceMeshHandle& handle )
        {
            return handle.mesh< SurfaceMesh< 3 > >( "surface mesh" );
        }

        void bind_surfaces( py::module_& module )
        {
            py::class_< SurfaceMeshHandle, MeshHandle >( module, "SurfaceMesh",
                "The mesh of a surface: polygons in space." )
                .def_property_readonly(
                    "nb_polygons",
                    []( const SurfaceMeshHandle& handle )
                    {
                        return surface_mesh( handle ).nb_polygons();
                    },
                    "int: The number of polygons." )
                .def_property_readonly(
                    "polygon_offsets",
                    []( const SurfaceMeshHandle& handle )
                    {
                        return polygon_offsets_of( surface_mesh( handle ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint32]: Where each polygon starts in "
                         "polygon_vertices, uint32, of shape (nb_polygons + "
                         "1,), from 0 to the length of polygon_vertices." )
                        .c_str() )
                .def_property_readonly(
                    "polygon_vertices",
                    []( const SurfaceMeshHandle& handle )
                    {
                        return polygon_vertices_of( surface_mesh( handle ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint32]: The vertices of every polygon in "
                         "polygon order, one polygon after the other, uint32; "
                         "polygon p is polygon_vertices[polygon_offsets[p]:"
                         "polygon_offsets[p + 1]]." )
                        .c_str() );
            py::class_< TriangulatedSurfaceHandle, SurfaceMeshHandle >(
                module, "TriangulatedSurface", "A surface mesh of triangles." )
                .def_property_readonly(
                    "triangles",
                    []( const TriangulatedSurfaceHandle& handle )
                    {
                        return triangles_of(
                            handle.mesh< TriangulatedSurface< 3 > >(
                                "triangulated surface" ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint32]: The three vertices of each "
                         "triangle, uint32, of shape (nb_polygons, 3)." )
                        .c_str() );
            py::class_< PolygonalSurfaceHandle, SurfaceMeshHandle >( module,
                "PolygonalSurface",
                "A surface mesh of polygons of any size from 3: read them "
                "with polygon_offsets and polygon_vertices." );
        }

        const SolidMesh< 3 >& solid_mesh( const SolidMeshHandle& handle )
        {
            return handle.mesh< SolidMesh< 3 > >( "solid mesh" );
        }

        void bind_solids( py::module_& module )
        {
            py::class_< SolidMeshHandle, MeshHandle >( module, "SolidMesh",
                "The mesh of a block: polyhedra (see PolyhedronType for the "
                "local vertex numbering of each kind). A pillar build leaves "
                "block meshes empty." )
                .def_property_readonly(
                    "nb_polyhedra",
                    []( const SolidMeshHandle& handle )
                    {
                        return solid_mesh( handle ).nb_polyhedra();
                    },
                    "int: The number of polyhedra." )
                .def_property_readonly(
                    "polyhedron_types",
                    []( const SolidMeshHandle& handle )
                    {
                        return polyhedron_types_of( solid_mesh( handle ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint8]: The kind of each polyhedron as the "
                         "value of its PolyhedronType, uint8, of shape "
                         "(nb_polyhedra,)." )
                        .c_str() )
                .def_property_readonly(
                    "polyhedron_volumes",
                    []( const SolidMeshHandle& handle )
                    {
                        return polyhedron_volumes_of( solid_mesh( handle ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.float64]: The signed volume of each "
                         "polyhedron, float64, of shape (nb_polyhedra,): "
                         "positive for a positively oriented cell (the "
                         "divergence theorem around its centroid, a "
                         "quadrangular facet split into four triangles "
                         "around its own centroid)." )
                        .c_str() )
                .def_property_readonly(
                    "polyhedron_offsets",
                    []( const SolidMeshHandle& handle )
                    {
                        return polyhedron_offsets_of( solid_mesh( handle ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint32]: Where each polyhedron starts in "
                         "polyhedron_vertices, uint32, of shape (nb_polyhedra "
                         "+ 1,)." )
                        .c_str() )
                .def_property_readonly(
                    "polyhedron_vertices",
                    []( const SolidMeshHandle& handle )
                    {
                        return polyhedron_vertices_of( solid_mesh( handle ) );
                    },
                    doc( "numpy.typing.NDArray[numpy.uint32]: The vertices of every polyhedron, "
                         "one after the other, uint32; polyhedron p is "
                         "polyhedron_vertices[polyhedron_offsets[p]:"
                         "polyhedron_offsets[p + 1]]." )
                        .c_str() );
            py::class_< HybridSolidHandle, SolidMeshHandle >( module,
                "HybridSolid",
                "A solid of tetrahedra, pyramids, prisms and hexahedra." );
        }
    } // namespace

    const VertexSet& MeshHandle::vertex_set() const
    {
        const auto& type = component.type();
        const auto& id = component.id();
        if( type == component_types::corner() )
        {
            return model->corner( id ).mesh();
        }
        if( type == component_types::line() )
        {
            return model->line( id ).mesh();
        }
        if( type == component_types::surface() )
        {
            return model->surface( id ).mesh();
        }
        return model->block( id ).mesh();
    }

    py::object mesh_object(
        const ModelPointer& model, const ComponentID& component )
    {
        const MeshHandle handle{ model, component };
        const auto& mesh = handle.vertex_set();
        const auto& type = component.type();
        if( type == component_types::corner() )
        {
            return py::cast( PointSetHandle{ handle } );
        }
        if( type == component_types::line() )
        {
            return py::cast( EdgedCurveHandle{ handle } );
        }
        if( type == component_types::surface() )
        {
            if( dynamic_cast< const TriangulatedSurface< 3 >* >( &mesh ) )
            {
                return py::cast( TriangulatedSurfaceHandle{ { handle } } );
            }
            if( dynamic_cast< const PolygonalSurface< 3 >* >( &mesh ) )
            {
                return py::cast( PolygonalSurfaceHandle{ { handle } } );
            }
            return py::cast( SurfaceMeshHandle{ handle } );
        }
        if( dynamic_cast< const HybridSolid< 3 >* >( &mesh ) )
        {
            return py::cast( HybridSolidHandle{ { handle } } );
        }
        return py::cast( SolidMeshHandle{ handle } );
    }

    void bind_meshes( py::module_& module )
    {
        bind_polyhedron_type( module );
        bind_mesh_base( module );
        bind_point_set_and_curve( module );
        bind_surfaces( module );
        bind_solids( module );
    }
} // namespace brevane::python
