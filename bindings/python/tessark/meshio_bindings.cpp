#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <tessark/mesh/polyhedron_type.h>
#include <tessark/mesh/solid_mesh.h>
#include <tessark/mesh/surface_mesh.h>

#include <common/python_errors.h>

#include "bindings.h"

namespace py = pybind11;

// Surfaces, blocks and whole models as meshio.Mesh objects, for every
// format meshio writes. Polygons go to "triangle", "quad" and "polygon"
// blocks by size, cells to "tetra", "pyramid", "wedge" and "hexahedron"
// in meshio's vertex order; the cell data "component" holds the index of each
// cell's component, and the field data maps each component's uuid to
// [index, dimension] (meshio's convention for named tags).
namespace brevane::python
{
    namespace
    {
        // One meshio cell block: its type, the vertices of its cells one
        // after the other, and the component they belong to.
        struct CellBlock
        {
            std::string type;
            local_index_t nb_cell_vertices{ 0 };
            std::vector< std::uint32_t > vertices;
            std::uint32_t component{ 0 };
        };

        // The cell blocks of one component, in order of first appearance
        // of each type, and the point indices they use.
        class ComponentCells
        {
        public:
            ComponentCells( std::uint32_t component, std::vector< std::uint32_t > point_of_vertex )
                : component_( component ), point_of_vertex_( std::move( point_of_vertex ) )
            {
            }

            template < typename Vertices >
            void add( const std::string& type, const Vertices& vertices )
            {
                auto found = block_of_type_.find( type );
                if( found == block_of_type_.end() )
                {
                    found = block_of_type_.emplace( type, blocks_.size() ).first;
                    blocks_.push_back( { type,
                        static_cast< local_index_t >( vertices.size() ), {},
                        component_ } );
                }
                for( const auto vertex : vertices )
                {
                    blocks_[found->second].vertices.push_back(
                        point_of_vertex_[vertex] );
                }
            }

            [[nodiscard]] std::vector< CellBlock >&& blocks() &&
            {
                return std::move( blocks_ );
            }

        private:
            std::uint32_t component_;
            std::vector< std::uint32_t > point_of_vertex_;
            std::map< std::string, std::size_t > block_of_type_;
            std::vector< CellBlock > blocks_;
        };

        std::string polygon_type( local_index_t nb_vertices )
        {
            if( nb_vertices == 3 )
            {
                return "triangle";
            }
            if( nb_vertices == 4 )
            {
                return "quad";
            }
            return "polygon" + std::to_string( nb_vertices );
        }

        std::vector< CellBlock > surface_cells( const SurfaceMesh< 3 >& mesh,
            std::uint32_t component, std::vector< std::uint32_t > point_of_vertex )
        {
            ComponentCells cells{ component, std::move( point_of_vertex ) };
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto vertices = mesh.polygon_vertices( polygon );
                cells.add( polygon_type( vertices.size() ), vertices );
            }
            return std::move( cells ).blocks();
        }

        std::vector< CellBlock > solid_cells( const SolidMesh< 3 >& mesh,
            std::uint32_t component, std::vector< std::uint32_t > point_of_vertex )
        {
            // meshio numbers the vertices of a wedge as our prisms (the
            // bottom triangle turning towards the top one, as gmsh does) and
            // reorders them for VTK itself; the other kinds are numbered as
            // in VTK, as ours are.
            ComponentCells cells{ component, std::move( point_of_vertex ) };
            for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
                 polyhedron++ )
            {
                const auto vertices = mesh.polyhedron_vertices( polyhedron );
                switch( mesh.polyhedron_type( polyhedron ) )
                {
                case PolyhedronType::tetrahedron:
                    cells.add( "tetra", vertices );
                    break;
                case PolyhedronType::pyramid:
                    cells.add( "pyramid", vertices );
                    break;
                case PolyhedronType::prism:
                    cells.add( "wedge", vertices );
                    break;
                case PolyhedronType::hexahedron:
                    cells.add( "hexahedron", vertices );
                    break;
                }
            }
            return std::move( cells ).blocks();
        }

        std::vector< std::uint32_t > identity( index_t nb )
        {
            std::vector< std::uint32_t > indices( nb );
            for( index_t vertex = 0; vertex < nb; vertex++ )
            {
                indices[vertex] = vertex;
            }
            return indices;
        }

        py::array_t< double > points_array( const std::vector< Point3D >& points )
        {
            py::array_t< double > array(
                { static_cast< py::ssize_t >( points.size() ), py::ssize_t{ 3 } } );
            auto* values = array.mutable_data();
            for( std::size_t point = 0; point < points.size(); point++ )
            {
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    values[3 * point + axis] = points[point].value( axis );
                }
            }
            return array;
        }

        template < typename Mesh >
        std::vector< Point3D > mesh_points( const Mesh& mesh )
        {
            std::vector< Point3D > points;
            points.reserve( mesh.nb_vertices() );
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                points.push_back( mesh.point( vertex ) );
            }
            return points;
        }

        // The meshio.Mesh of the points and cell blocks; components lists
        // the uuid and dimension of each component index.
        py::object meshio_mesh( const std::vector< Point3D >& points,
            const std::vector< CellBlock >& blocks,
            const std::vector< std::pair< uuid, int > >& components )
        {
            auto meshio = py::module_::import( "meshio" );
            py::list cells;
            py::list component_data;
            for( const auto& block : blocks )
            {
                const auto nb_cells = static_cast< py::ssize_t >(
                    block.vertices.size() / block.nb_cell_vertices );
                py::array_t< std::uint32_t > connectivity(
                    { nb_cells, static_cast< py::ssize_t >( block.nb_cell_vertices ) } );
                std::copy( block.vertices.begin(), block.vertices.end(),
                    connectivity.mutable_data() );
                const auto type = block.type.rfind( "polygon", 0 ) == 0
                                      ? std::string{ "polygon" }
                                      : block.type;
                cells.append( py::make_tuple( type, connectivity ) );
                py::array_t< std::uint32_t > component( nb_cells );
                std::fill_n( component.mutable_data(), nb_cells, block.component );
                component_data.append( component );
            }
            py::dict field_data;
            for( std::size_t index = 0; index < components.size(); index++ )
            {
                py::array_t< std::int64_t > tag( 2 );
                tag.mutable_data()[0] = static_cast< std::int64_t >( index );
                tag.mutable_data()[1] = components[index].second;
                field_data[py::str( components[index].first.string() )] = tag;
            }
            py::dict cell_data;
            cell_data["component"] = component_data;
            return meshio.attr( "Mesh" )( points_array( points ), cells,
                py::arg( "cell_data" ) = cell_data,
                py::arg( "field_data" ) = field_data );
        }

        py::object surface_to_meshio( const SurfaceMeshHandle& handle )
        {
            const auto& mesh = handle.mesh< SurfaceMesh< 3 > >( "surface mesh" );
            return meshio_mesh( mesh_points( mesh ),
                surface_cells( mesh, 0, identity( mesh.nb_vertices() ) ),
                { { handle.component.id(), 2 } } );
        }

        py::object solid_to_meshio( const SolidMeshHandle& handle )
        {
            const auto& mesh = handle.mesh< SolidMesh< 3 > >( "solid mesh" );
            return meshio_mesh( mesh_points( mesh ),
                solid_cells( mesh, 0, identity( mesh.nb_vertices() ) ),
                { { handle.component.id(), 3 } } );
        }

        // The points of a whole model are its unique vertices, followed by
        // the component mesh vertices bound to none.
        class ModelPoints
        {
        public:
            explicit ModelPoints( const StructuralModel& model ) : model_( model )
            {
                points_.resize( model.nb_unique_vertices() );
                for( index_t unique_vertex = 0;
                     unique_vertex < model.nb_unique_vertices(); unique_vertex++ )
                {
                    for( const auto& vertex :
                        model.component_mesh_vertices( unique_vertex ) )
                    {
                        points_[unique_vertex] = component_point( model, vertex );
                        break;
                    }
                }
            }

            template < typename Mesh >
            std::vector< std::uint32_t > points_of(
                const ComponentID& component, const Mesh& mesh )
            {
                std::vector< std::uint32_t > indices( mesh.nb_vertices() );
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    const auto unique_vertex =
                        model_.unique_vertex( { component, vertex } );
                    if( unique_vertex != NO_ID )
                    {
                        indices[vertex] = unique_vertex;
                        continue;
                    }
                    indices[vertex] = static_cast< std::uint32_t >( points_.size() );
                    points_.push_back( mesh.point( vertex ) );
                }
                return indices;
            }

            [[nodiscard]] const std::vector< Point3D >& points() const
            {
                return points_;
            }

        private:
            const StructuralModel& model_;
            std::vector< Point3D > points_;
        };

        py::object model_to_meshio( const StructuralModel& model )
        {
            std::vector< CellBlock > blocks;
            std::vector< std::pair< uuid, int > > components;
            std::vector< Point3D > points;
            without_gil(
                [&]
                {
                    ModelPoints model_points{ model };
                    const auto append = [&blocks]( std::vector< CellBlock > more )
                    {
                        for( auto& block : more )
                        {
                            blocks.push_back( std::move( block ) );
                        }
                    };
                    for( const auto& surface : model.surfaces() )
                    {
                        const auto index =
                            static_cast< std::uint32_t >( components.size() );
                        components.emplace_back( surface.id(), 2 );
                        append( surface_cells( surface.mesh(), index,
                            model_points.points_of(
                                surface.component_id(), surface.mesh() ) ) );
                    }
                    for( const auto& block : model.blocks() )
                    {
                        const auto index =
                            static_cast< std::uint32_t >( components.size() );
                        components.emplace_back( block.id(), 3 );
                        append( solid_cells( block.mesh(), index,
                            model_points.points_of(
                                block.component_id(), block.mesh() ) ) );
                    }
                    points = model_points.points();
                } );
            return meshio_mesh( points, blocks, components );
        }

        // Adds a method to a class bound earlier.
        template < typename Function >
        void add_method( py::module_& module, const char* class_name,
            const char* name, Function&& function, const char* doc )
        {
            py::object python_class = module.attr( class_name );
            python_class.attr( name ) = py::cpp_function(
                std::forward< Function >( function ), py::name( name ),
                py::is_method( python_class ), doc );
        }

        constexpr auto MESHIO_DOC =
            " The cell data \"component\" holds the index of the cell's "
            "component, and the field data maps the uuid of each component "
            "to [index, dimension]. Needs the meshio package.";
    } // namespace

    void bind_meshio( py::module_& module )
    {
        add_method( module, "SurfaceMesh", "to_meshio", &surface_to_meshio,
            ( std::string{ "The mesh as a meshio.Mesh: its points and its "
                           "polygons in \"triangle\", \"quad\" and "
                           "\"polygon\" cell blocks by size." }
                + MESHIO_DOC )
                .c_str() );
        add_method( module, "SolidMesh", "to_meshio", &solid_to_meshio,
            ( std::string{ "The mesh as a meshio.Mesh: its points and its "
                           "cells in \"tetra\", \"pyramid\", \"wedge\" and "
                           "\"hexahedron\" cell blocks, in meshio's vertex "
                           "order." }
                + MESHIO_DOC )
                .c_str() );
        add_method( module, "StructuralModel", "to_meshio", &model_to_meshio,
            ( std::string{ "The surfaces and blocks of the model as one "
                           "meshio.Mesh: the points are the unique vertices "
                           "(then any component vertex bound to none), the "
                           "cell blocks those of each surface and block, "
                           "surfaces first, in model order." }
                + MESHIO_DOC )
                .c_str() );
    }
} // namespace brevane::python
