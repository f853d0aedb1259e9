#include "sample_components.h"

#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane
{
    uuid add_point_corner( StructuralModelBuilder& builder, const uuid& id,
        std::string_view name, const Point3D& point )
    {
        builder.add_corner( id );
        builder.set_name( id, name );
        builder.corner_mesh_builder( id )->create_point( point );
        return id;
    }

    uuid add_polyline( StructuralModelBuilder& builder, const uuid& id,
        std::string_view name, absl::Span< const Point3D > points )
    {
        builder.add_line( id );
        builder.set_name( id, name );
        auto mesh = builder.line_mesh_builder( id );
        const auto nb_vertices = static_cast< index_t >( points.size() );
        mesh->create_vertices( nb_vertices );
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            mesh->set_point( vertex, points[vertex] );
        }
        for( index_t vertex = 0; vertex + 1 < nb_vertices; vertex++ )
        {
            mesh->create_edge( vertex, vertex + 1 );
        }
        return id;
    }

    uuid add_triangulated_surface( StructuralModelBuilder& builder,
        const uuid& id, std::string_view name,
        absl::Span< const Point3D > points,
        absl::Span< const std::array< index_t, 3 > > triangles, bool flip )
    {
        builder.add_surface( id );
        builder.set_name( id, name );
        auto mesh =
            builder.surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                id );
        const auto nb_vertices = static_cast< index_t >( points.size() );
        mesh->create_vertices( nb_vertices );
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            mesh->set_point( vertex, points[vertex] );
        }
        for( const auto& triangle : triangles )
        {
            mesh->create_triangle(
                flip ? std::array{ triangle[0], triangle[2], triangle[1] }
                     : triangle );
        }
        mesh->compute_polygon_adjacencies();
        return id;
    }
} // namespace brevane
