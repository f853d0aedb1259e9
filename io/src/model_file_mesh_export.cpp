#include <array>

#include "model_file_error.h"
#include "model_file_meshes.h"

namespace brevane::internal
{
    namespace
    {
        template < typename Mesh >
        std::vector< double > mesh_points( const Mesh& mesh )
        {
            std::vector< double > points;
            points.reserve(
                3 * static_cast< std::size_t >( mesh.nb_vertices() ) );
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                const auto& values = mesh.point( vertex ).values();
                points.insert( points.end(), values.begin(), values.end() );
            }
            return points;
        }

        void end_cell( MeshArrays& arrays )
        {
            arrays.offsets.push_back(
                static_cast< std::int64_t >( arrays.connectivity.size() ) );
        }

        std::uint8_t vtk_cell_type( PolyhedronType type )
        {
            switch( type )
            {
            case PolyhedronType::tetrahedron:
                return VTK_TETRA;
            case PolyhedronType::pyramid:
                return VTK_PYRAMID;
            case PolyhedronType::prism:
                return VTK_WEDGE;
            case PolyhedronType::hexahedron:
                return VTK_HEXAHEDRON;
            }
            return VTK_TETRA;
        }
    } // namespace

    MeshArrays point_set_arrays( const PointSet< 3 >& mesh )
    {
        MeshArrays arrays;
        arrays.points = mesh_points( mesh );
        // One VTK vertex per point, so that ParaView draws them.
        arrays.connectivity.reserve( mesh.nb_vertices() );
        arrays.offsets.reserve( mesh.nb_vertices() );
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            arrays.connectivity.push_back( vertex );
            end_cell( arrays );
        }
        return arrays;
    }

    MeshArrays edged_curve_arrays( const EdgedCurve< 3 >& mesh,
        const std::filesystem::path& file, std::string_view owner )
    {
        MeshArrays arrays;
        arrays.points = mesh_points( mesh );
        arrays.connectivity.reserve(
            2 * static_cast< std::size_t >( mesh.nb_edges() ) );
        arrays.offsets.reserve( mesh.nb_edges() );
        for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
        {
            for( const auto vertex : mesh.edge_vertices( edge ) )
            {
                if( vertex == NO_ID )
                {
                    throw save_error( file, owner, ": edge ", edge,
                        " has an unset end, which a file cannot hold" );
                }
                arrays.connectivity.push_back( vertex );
            }
            end_cell( arrays );
        }
        return arrays;
    }

    MeshArrays surface_arrays( const SurfaceMesh< 3 >& mesh )
    {
        MeshArrays arrays;
        arrays.points = mesh_points( mesh );
        arrays.offsets.reserve( mesh.nb_polygons() );
        arrays.connectivity.reserve(
            3 * static_cast< std::size_t >( mesh.nb_polygons() ) );
        for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
        {
            const auto size = mesh.nb_polygon_vertices( polygon );
            for( local_index_t vertex = 0; vertex < size; vertex++ )
            {
                arrays.connectivity.push_back(
                    mesh.polygon_vertex( { polygon, vertex } ) );
            }
            end_cell( arrays );
        }
        return arrays;
    }

    MeshArrays solid_arrays( const SolidMesh< 3 >& mesh )
    {
        // VTK wedge vertex i is our prism vertex PRISM_TO_VTK[i].
        static constexpr std::array< index_t, 6 > PRISM_TO_VTK{ 0, 2, 1, 3, 5,
            4 };
        MeshArrays arrays;
        arrays.points = mesh_points( mesh );
        arrays.offsets.reserve( mesh.nb_polyhedra() );
        arrays.cell_types.reserve( mesh.nb_polyhedra() );
        for( index_t polyhedron = 0; polyhedron < mesh.nb_polyhedra();
             polyhedron++ )
        {
            const auto type = mesh.polyhedron_type( polyhedron );
            const auto vertices = mesh.polyhedron_vertices( polyhedron );
            if( type == PolyhedronType::prism )
            {
                for( const auto local : PRISM_TO_VTK )
                {
                    arrays.connectivity.push_back( vertices[local] );
                }
            }
            else
            {
                arrays.connectivity.insert( arrays.connectivity.end(),
                    vertices.begin(), vertices.end() );
            }
            end_cell( arrays );
            arrays.cell_types.push_back( vtk_cell_type( type ) );
        }
        return arrays;
    }
} // namespace brevane::internal
