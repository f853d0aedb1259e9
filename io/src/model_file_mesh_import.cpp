#include <array>
#include <optional>
#include <vector>

#include <absl/container/inlined_vector.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include "model_file_error.h"
#include "model_file_meshes.h"

namespace brevane::internal
{
    namespace
    {
        template < typename Builder >
        void set_points( Builder& builder, const MeshArrays& arrays )
        {
            const auto nb_points = arrays.nb_points();
            if( nb_points == 0 )
            {
                return;
            }
            builder.create_vertices( nb_points );
            for( index_t vertex = 0; vertex < nb_points; vertex++ )
            {
                const auto* xyz =
                    &arrays.points[3 * static_cast< std::size_t >( vertex )];
                builder.set_point(
                    vertex, Point3D{ { xyz[0], xyz[1], xyz[2] } } );
            }
        }

        // The vertices of a cell, each checked to be a point of the file.
        absl::InlinedVector< index_t, 8 > cell_vertices(
            const MeshArrays& arrays, index_t cell, std::string_view cell_kind,
            const std::filesystem::path& file )
        {
            absl::InlinedVector< index_t, 8 > vertices;
            const auto end = arrays.offsets[cell];
            for( auto position = arrays.cell_begin( cell ); position < end;
                 position++ )
            {
                const auto vertex = arrays.connectivity[position];
                if( vertex < 0 || vertex >= arrays.nb_points() )
                {
                    throw load_error( file, cell_kind, " ", cell,
                        " uses vertex ", vertex, " but the file has ",
                        arrays.nb_points(), " points" );
                }
                vertices.push_back( static_cast< index_t >( vertex ) );
            }
            return vertices;
        }

        std::optional< PolyhedronType > polyhedron_type( std::uint8_t vtk_type )
        {
            switch( vtk_type )
            {
            case VTK_TETRA:
                return PolyhedronType::tetrahedron;
            case VTK_PYRAMID:
                return PolyhedronType::pyramid;
            case VTK_WEDGE:
                return PolyhedronType::prism;
            case VTK_HEXAHEDRON:
                return PolyhedronType::hexahedron;
            default:
                return std::nullopt;
            }
        }

        void create_polyhedron( HybridSolidBuilder< 3 >& builder,
            PolyhedronType type,
            const absl::InlinedVector< index_t, 8 >& vertices )
        {
            switch( type )
            {
            case PolyhedronType::tetrahedron:
                builder.create_tetrahedron(
                    { vertices[0], vertices[1], vertices[2], vertices[3] } );
                return;
            case PolyhedronType::pyramid:
                builder.create_pyramid( { vertices[0], vertices[1], vertices[2],
                    vertices[3], vertices[4] } );
                return;
            case PolyhedronType::prism:
                // VTK's wedge numbering back to ours: swap 1 and 2, 4 and 5.
                builder.create_prism( { vertices[0], vertices[2], vertices[1],
                    vertices[3], vertices[5], vertices[4] } );
                return;
            case PolyhedronType::hexahedron:
                builder.create_hexahedron(
                    { vertices[0], vertices[1], vertices[2], vertices[3],
                        vertices[4], vertices[5], vertices[6], vertices[7] } );
                return;
            }
        }

        // Creates the triangles at once, which is much faster than one by
        // one; false when a triangle is wrong, having created none, so that
        // the caller creates them one by one and reports the first fault as
        // it always did.
        bool create_triangles( SurfaceMeshBuilder< 3 >& builder,
            const MeshArrays& arrays, const std::filesystem::path& file )
        {
            try
            {
                std::vector< index_t > vertices;
                vertices.reserve( 3 * std::size_t{ arrays.nb_cells() } );
                for( index_t polygon = 0; polygon < arrays.nb_cells();
                     polygon++ )
                {
                    const auto triangle =
                        cell_vertices( arrays, polygon, "polygon", file );
                    if( triangle.size() != 3 )
                    {
                        return false;
                    }
                    vertices.insert(
                        vertices.end(), triangle.begin(), triangle.end() );
                }
                builder.create_polygons( vertices, 3 );
                return true;
            }
            catch( const TessarkException& )
            {
                return false;
            }
        }
    } // namespace

    std::unique_ptr< PointSet< 3 > > build_point_set( const MeshArrays& arrays )
    {
        auto mesh = PointSet< 3 >::create();
        PointSetBuilder< 3 > builder{ *mesh };
        set_points( builder, arrays );
        return mesh;
    }

    std::unique_ptr< EdgedCurve< 3 > > build_edged_curve(
        const MeshArrays& arrays, const std::filesystem::path& file )
    {
        auto mesh = EdgedCurve< 3 >::create();
        EdgedCurveBuilder< 3 > builder{ *mesh };
        set_points( builder, arrays );
        for( index_t edge = 0; edge < arrays.nb_cells(); edge++ )
        {
            const auto vertices = cell_vertices( arrays, edge, "edge", file );
            if( vertices.size() != 2 )
            {
                throw load_error( file, "edge ", edge, " has ", vertices.size(),
                    " vertices instead of 2" );
            }
            try
            {
                builder.create_edge( vertices[0], vertices[1] );
            }
            catch( const TessarkException& error )
            {
                throw load_error( file, "edge ", edge, ": ",
                    std::string_view{ error.what() } );
            }
        }
        return mesh;
    }

    std::unique_ptr< SurfaceMesh< 3 > > build_surface( const MeshArrays& arrays,
        bool triangulated, const std::filesystem::path& file )
    {
        std::unique_ptr< SurfaceMesh< 3 > > mesh;
        std::unique_ptr< SurfaceMeshBuilder< 3 > > builder;
        if( triangulated )
        {
            auto triangles = TriangulatedSurface< 3 >::create();
            builder = std::make_unique< TriangulatedSurfaceBuilder< 3 > >(
                *triangles );
            mesh = std::move( triangles );
        }
        else
        {
            auto polygons = PolygonalSurface< 3 >::create();
            builder =
                std::make_unique< PolygonalSurfaceBuilder< 3 > >( *polygons );
            mesh = std::move( polygons );
        }
        set_points( *builder, arrays );
        if( triangulated && create_triangles( *builder, arrays, file ) )
        {
            builder->compute_polygon_adjacencies();
            return mesh;
        }
        for( index_t polygon = 0; polygon < arrays.nb_cells(); polygon++ )
        {
            const auto vertices =
                cell_vertices( arrays, polygon, "polygon", file );
            if( triangulated && vertices.size() != 3 )
            {
                throw load_error( file, "polygon ", polygon, " has ",
                    vertices.size(), " vertices in a triangulated surface" );
            }
            try
            {
                builder->create_polygon( vertices );
            }
            catch( const TessarkException& error )
            {
                throw load_error( file, "polygon ", polygon, ": ",
                    std::string_view{ error.what() } );
            }
        }
        builder->compute_polygon_adjacencies();
        return mesh;
    }

    std::unique_ptr< SolidMesh< 3 > > build_solid(
        const MeshArrays& arrays, const std::filesystem::path& file )
    {
        auto mesh = HybridSolid< 3 >::create();
        HybridSolidBuilder< 3 > builder{ *mesh };
        set_points( builder, arrays );
        for( index_t cell = 0; cell < arrays.nb_cells(); cell++ )
        {
            const auto type = polyhedron_type( arrays.cell_types[cell] );
            if( !type )
            {
                throw load_error( file, "cell ", cell, " has the VTK type ",
                    static_cast< unsigned >( arrays.cell_types[cell] ),
                    ", not a tetrahedron (10), pyramid (14), wedge (13) or "
                    "hexahedron (12)" );
            }
            const auto vertices = cell_vertices( arrays, cell, "cell", file );
            if( vertices.size() != polyhedron_type_nb_vertices( *type ) )
            {
                throw load_error( file, "cell ", cell, " (",
                    polyhedron_type_name( *type ), ") has ", vertices.size(),
                    " vertices instead of ",
                    static_cast< unsigned >(
                        polyhedron_type_nb_vertices( *type ) ) );
            }
            try
            {
                create_polyhedron( builder, *type, vertices );
            }
            catch( const TessarkException& error )
            {
                throw load_error( file, "cell ", cell, ": ",
                    std::string_view{ error.what() } );
            }
        }
        builder.compute_polyhedron_adjacencies();
        return mesh;
    }
} // namespace brevane::internal
