#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/polyhedron_volume.h>
#include <tessark/mesh/surface_mesh_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <common/python_errors.h>

#include "bindings.h"

namespace py = pybind11;

// The unique vertices of a model from Python: one at a time and in bulk as
// numpy arrays, and the volumes of the blocks.
namespace brevane::python
{
    namespace
    {
        // Arrays of any layout or numeric type are converted to these.
        using Positions =
            py::array_t< double, py::array::c_style | py::array::forcecast >;
        using Indices = py::array_t< std::int64_t,
            py::array::c_style | py::array::forcecast >;

        void check_unique_vertex(
            const StructuralModel& model, std::int64_t unique_vertex )
        {
            if( unique_vertex < 0 || unique_vertex >= model.nb_unique_vertices() )
            {
                throw PythonError{ ErrorKind::out_of_range,
                    concatenate( "Unique vertex ", unique_vertex,
                        " is out of range: the model has ",
                        model.nb_unique_vertices(), " unique vertices" ) };
            }
        }

        // Moves the component mesh vertices of unique vertices, keeping one
        // mesh builder per component for all the moves.
        class UniqueVertexMover
        {
        public:
            explicit UniqueVertexMover( StructuralModel& model )
                : model_( model ), builder_( model )
            {
            }

            void move( index_t unique_vertex, const Point3D& point )
            {
                for( const auto& vertex :
                    model_.component_mesh_vertices( unique_vertex ) )
                {
                    const auto& id = vertex.component_id.id();
                    const auto& type = vertex.component_id.type();
                    if( type == component_types::corner() )
                    {
                        cached( corners_, id,
                            [this]( const uuid& key )
                            {
                                return builder_.corner_mesh_builder( key );
                            } )
                            .set_point( vertex.vertex, point );
                    }
                    else if( type == component_types::line() )
                    {
                        cached( lines_, id,
                            [this]( const uuid& key )
                            {
                                return builder_.line_mesh_builder( key );
                            } )
                            .set_point( vertex.vertex, point );
                    }
                    else if( type == component_types::surface() )
                    {
                        cached( surfaces_, id,
                            [this]( const uuid& key )
                            {
                                return builder_.surface_mesh_builder( key );
                            } )
                            .set_point( vertex.vertex, point );
                    }
                    else
                    {
                        cached( blocks_, id,
                            [this]( const uuid& key )
                            {
                                return builder_.block_mesh_builder( key );
                            } )
                            .set_point( vertex.vertex, point );
                    }
                }
            }

        private:
            template < typename Builder, typename Make >
            Builder& cached(
                std::map< uuid, std::unique_ptr< Builder > >& builders,
                const uuid& id, const Make& make )
            {
                auto& slot = builders[id];
                if( !slot )
                {
                    slot = make( id );
                }
                return *slot;
            }

            StructuralModel& model_;
            StructuralModelBuilder builder_;
            std::map< uuid, std::unique_ptr< PointSetBuilder< 3 > > > corners_;
            std::map< uuid, std::unique_ptr< EdgedCurveBuilder< 3 > > > lines_;
            std::map< uuid, std::unique_ptr< SurfaceMeshBuilder< 3 > > >
                surfaces_;
            std::map< uuid, std::unique_ptr< HybridSolidBuilder< 3 > > >
                blocks_;
        };

        std::optional< index_t > unique_vertex_of(
            const StructuralModel& model, const ComponentMeshVertex& vertex )
        {
            const auto unique_vertex = model.unique_vertex( vertex );
            if( unique_vertex == NO_ID )
            {
                return std::nullopt;
            }
            return unique_vertex;
        }

        std::vector< ComponentMeshVertex > component_mesh_vertices_of(
            const StructuralModel& model, std::int64_t unique_vertex )
        {
            check_unique_vertex( model, unique_vertex );
            const auto& vertices = model.component_mesh_vertices(
                static_cast< index_t >( unique_vertex ) );
            return { vertices.begin(), vertices.end() };
        }

        Point3D checked_point( const double* coordinates, py::ssize_t row )
        {
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                if( !std::isfinite( coordinates[axis] ) )
                {
                    throw PythonError{ ErrorKind::invalid_value,
                        concatenate( "Position ", row, " has the non-finite "
                                                      "coordinate ",
                            coordinates[axis] ) };
                }
            }
            return Point3D{ { coordinates[0], coordinates[1],
                coordinates[2] } };
        }

        void set_unique_vertex_position( StructuralModel& model,
            std::int64_t unique_vertex, const Positions& point )
        {
            if( point.ndim() != 1 || point.size() != 3 )
            {
                throw PythonError{ ErrorKind::invalid_value,
                    concatenate( "[StructuralModel.set_unique_vertex_position] "
                                 "A point has 3 coordinates, not ",
                        point.size() ) };
            }
            check_unique_vertex( model, unique_vertex );
            const auto position = checked_point( point.data(), 0 );
            UniqueVertexMover{ model }.move(
                static_cast< index_t >( unique_vertex ), position );
        }

        py::array_t< double > unique_vertex_positions(
            const StructuralModel& model )
        {
            const auto nb = model.nb_unique_vertices();
            py::array_t< double > positions(
                { static_cast< py::ssize_t >( nb ), py::ssize_t{ 3 } } );
            auto* values = positions.mutable_data();
            without_gil(
                [&]
                {
                    for( index_t unique_vertex = 0; unique_vertex < nb;
                         unique_vertex++ )
                    {
                        const auto& vertices =
                            model.component_mesh_vertices( unique_vertex );
                        for( local_index_t axis = 0; axis < 3; axis++ )
                        {
                            values[3 * unique_vertex + axis] =
                                vertices.empty()
                                    ? std::numeric_limits< double >::quiet_NaN()
                                    : component_point( model, vertices.front() )
                                          .value( axis );
                        }
                    }
                } );
            return positions;
        }

        void set_unique_vertex_positions( StructuralModel& model,
            const Positions& positions, const std::optional< Indices >& indices )
        {
            if( positions.ndim() != 2 || positions.shape( 1 ) != 3 )
            {
                throw PythonError{ ErrorKind::invalid_value,
                    "[StructuralModel.set_unique_vertex_positions] The "
                    "positions must be an array of shape (n, 3)" };
            }
            const auto nb = positions.shape( 0 );
            std::vector< index_t > unique_vertices( nb );
            if( indices )
            {
                if( indices->ndim() != 1 || indices->shape( 0 ) != nb )
                {
                    throw PythonError{ ErrorKind::invalid_value,
                        concatenate( "[StructuralModel.set_unique_vertex_"
                                     "positions] ",
                            nb, " positions need as many unique vertices" ) };
                }
                for( py::ssize_t row = 0; row < nb; row++ )
                {
                    const auto unique_vertex = indices->at( row );
                    check_unique_vertex( model, unique_vertex );
                    unique_vertices[row] =
                        static_cast< index_t >( unique_vertex );
                }
            }
            else
            {
                if( nb != model.nb_unique_vertices() )
                {
                    throw PythonError{ ErrorKind::invalid_value,
                        concatenate( "[StructuralModel.set_unique_vertex_"
                                     "positions] ",
                            nb, " positions given for the ",
                            model.nb_unique_vertices(),
                            " unique vertices of the model" ) };
                }
                for( py::ssize_t row = 0; row < nb; row++ )
                {
                    unique_vertices[row] = static_cast< index_t >( row );
                }
            }
            std::vector< Point3D > points;
            points.reserve( nb );
            for( py::ssize_t row = 0; row < nb; row++ )
            {
                points.push_back(
                    checked_point( positions.data( row, 0 ), row ) );
            }
            without_gil(
                [&]
                {
                    UniqueVertexMover mover{ model };
                    for( std::size_t row = 0; row < points.size(); row++ )
                    {
                        mover.move( unique_vertices[row], points[row] );
                    }
                } );
        }

        py::array_t< std::uint32_t > component_unique_vertices(
            const ModelPointer& model, const ComponentID& component )
        {
            const auto nb = MeshHandle{ model, component }
                                .vertex_set()
                                .nb_vertices();
            py::array_t< std::uint32_t > unique_vertices(
                static_cast< py::ssize_t >( nb ) );
            auto* values = unique_vertices.mutable_data();
            for( index_t vertex = 0; vertex < nb; vertex++ )
            {
                values[vertex] = model->unique_vertex( { component, vertex } );
            }
            return unique_vertices;
        }

        py::array_t< double > block_volumes( const StructuralModel& model )
        {
            py::array_t< double > volumes(
                static_cast< py::ssize_t >( model.nb_blocks() ) );
            auto* values = volumes.mutable_data();
            without_gil(
                [&]
                {
                    index_t position{ 0 };
                    for( const auto& block : model.blocks() )
                    {
                        const auto& mesh = block.mesh();
                        double volume{ 0 };
                        for( index_t polyhedron = 0;
                             polyhedron < mesh.nb_polyhedra(); polyhedron++ )
                        {
                            volume += polyhedron_volume( mesh, polyhedron );
                        }
                        values[position++] = volume;
                    }
                } );
            return volumes;
        }
    } // namespace

    const Point3D& component_point(
        const StructuralModel& model, const ComponentMeshVertex& vertex )
    {
        const auto& type = vertex.component_id.type();
        const auto& id = vertex.component_id.id();
        if( type == component_types::corner() )
        {
            return model.corner( id ).mesh().point( vertex.vertex );
        }
        if( type == component_types::line() )
        {
            return model.line( id ).mesh().point( vertex.vertex );
        }
        if( type == component_types::surface() )
        {
            return model.surface( id ).mesh().point( vertex.vertex );
        }
        return model.block( id ).mesh().point( vertex.vertex );
    }

    void bind_model_geometry(
        py::class_< StructuralModel, ModelPointer >& model_class )
    {
        model_class
            .def( "nb_unique_vertices", &StructuralModel::nb_unique_vertices,
                "The number of unique vertices: the model-wide vertices that "
                "bind the component mesh vertices standing for the same "
                "point." )
            .def( "unique_vertex", &unique_vertex_of,
                py::arg( "component_vertex" ),
                "The unique vertex of a component mesh vertex, None when it "
                "is bound to none." )
            .def( "component_unique_vertices", &component_unique_vertices,
                py::arg( "component_id" ),
                "The unique vertex of every vertex of the component's mesh: "
                "uint32, of shape (nb_vertices,), 4294967295 for a vertex "
                "bound to none." )
            .def( "component_mesh_vertices", &component_mesh_vertices_of,
                py::arg( "unique_vertex" ),
                "The component mesh vertices bound to the unique vertex, in "
                "binding order: a new list of ComponentMeshVertex. "
                "OutOfRangeError (an IndexError) when the index is not a "
                "unique vertex." )
            .def( "unique_vertex_positions", &unique_vertex_positions,
                "The position of every unique vertex, float64, of shape "
                "(nb_unique_vertices, 3): the position of its first "
                "component mesh vertex (NaN for a unique vertex bound to "
                "none). A new copy." )
            .def( "set_unique_vertex_position", &set_unique_vertex_position,
                py::arg( "unique_vertex" ), py::arg( "point" ),
                "Moves every component mesh vertex bound to the unique vertex "
                "(in every corner, line, surface and block) to the point [x, "
                "y, z], so that the model stays consistent. OutOfRangeError "
                "(an IndexError) when the index is not a unique vertex, "
                "InvalidValueError (a ValueError) when the point does not "
                "have 3 finite coordinates." )
            .def( "set_unique_vertex_positions", &set_unique_vertex_positions,
                py::arg( "positions" ), py::arg( "unique_vertices" ) = py::none(),
                "Moves many unique vertices at once, as "
                "set_unique_vertex_position does one: positions of shape "
                "(n, 3) for the unique vertices listed in unique_vertices "
                "(n indices), or for every unique vertex of the model when "
                "it is None (n = nb_unique_vertices). Everything is checked "
                "before anything moves: InvalidValueError for a wrong shape or "
                "a non-finite coordinate, OutOfRangeError for an index that "
                "is not a unique vertex." )
            .def( "block_volumes", &block_volumes,
                "The volume of every block, in the order of blocks(): the sum "
                "of the signed volumes of its cells (0 for an empty block "
                "mesh), float64, of shape (nb_blocks,)." );
    }
} // namespace brevane::python
