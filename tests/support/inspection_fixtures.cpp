#include "support/inspection_fixtures.h"

#include <functional>

#include <absl/container/flat_hash_map.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

namespace brevane::test
{
    namespace
    {
        using GridPoint = std::function< Point3D( double, double ) >;

        // A 3 x 3 grid surface over the parameters ( u, v ) in { 0, 5, 10 }^2,
        // two triangles per cell split along the diagonal of increasing u and
        // v, counter-clockwise in ( u, v ).
        uuid add_grid_surface( StructuralModel& model,
            StructuralModelBuilder& builder,
            absl::flat_hash_map< Point3D, index_t >& unique_of_point,
            std::string_view name, const GridPoint& point_at )
        {
            const auto id = builder.add_surface();
            builder.set_name( id, name );
            const auto component = model.surface( id ).component_id();
            auto mesh =
                builder.surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    id );
            for( index_t v = 0; v < 3; v++ )
            {
                for( index_t u = 0; u < 3; u++ )
                {
                    const auto point = point_at( 5. * u, 5. * v );
                    const auto vertex = mesh->create_point( point );
                    const auto [found, inserted] =
                        unique_of_point.try_emplace( point, NO_ID );
                    if( inserted )
                    {
                        found->second = builder.create_unique_vertex();
                    }
                    builder.set_unique_vertex(
                        { component, vertex }, found->second );
                }
            }
            for( index_t v = 0; v < 2; v++ )
            {
                for( index_t u = 0; u < 2; u++ )
                {
                    const auto a = u + 3 * v;
                    const auto b = a + 1;
                    const auto c = a + 4;
                    const auto d = a + 3;
                    mesh->create_triangle( { a, b, c } );
                    mesh->create_triangle( { a, c, d } );
                }
            }
            mesh->compute_polygon_adjacencies();
            return id;
        }
    } // namespace

    WalledBox::WalledBox()
    {
        StructuralModelBuilder builder{ model };
        absl::flat_hash_map< Point3D, index_t > unique_of_point;
        const auto add = [&]( std::string_view name, const GridPoint& point )
        {
            return add_grid_surface(
                model, builder, unique_of_point, name, point );
        };
        top = add( "top",
            []( double u, double v )
            {
                return Point3D{ { u, v, 10 } };
            } );
        bottom = add( "bottom",
            []( double u, double v )
            {
                return Point3D{ { u, v, 0 } };
            } );
        walls[0] = add( "wall_x_min",
            []( double u, double v )
            {
                return Point3D{ { 0, u, v } };
            } );
        walls[1] = add( "wall_x_max",
            []( double u, double v )
            {
                return Point3D{ { 10, u, v } };
            } );
        walls[2] = add( "wall_y_min",
            []( double u, double v )
            {
                return Point3D{ { u, 0, v } };
            } );
        walls[3] = add( "wall_y_max",
            []( double u, double v )
            {
                return Point3D{ { u, 10, v } };
            } );
        boundary = builder.add_model_boundary();
        const auto& collection = model.model_boundary( boundary );
        for( const auto& id :
            { top, bottom, walls[0], walls[1], walls[2], walls[3] } )
        {
            builder.add_surface_in_model_boundary(
                model.surface( id ), collection );
        }
    }

    index_t WalledBox::unique_vertex_at( const Point3D& point ) const
    {
        for( const auto& surface : model.surfaces() )
        {
            const auto& mesh = surface.mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                if( mesh.point( vertex ) == point )
                {
                    return model.unique_vertex(
                        { surface.component_id(), vertex } );
                }
            }
        }
        throw TessarkException{ "[WalledBox] No vertex at ", point.string() };
    }

    void move_unique_vertex(
        StructuralModel& model, index_t unique_vertex, const Point3D& point )
    {
        StructuralModelBuilder builder{ model };
        for( const auto& vertex :
            model.component_mesh_vertices( unique_vertex ) )
        {
            const auto& type = vertex.component_id.type();
            const auto& id = vertex.component_id.id();
            if( type == component_types::corner() )
            {
                builder.corner_mesh_builder( id )->set_point(
                    vertex.vertex, point );
            }
            else if( type == component_types::line() )
            {
                builder.line_mesh_builder( id )->set_point(
                    vertex.vertex, point );
            }
            else
            {
                TESSARK_EXCEPTION( type == component_types::surface(),
                    "[move_unique_vertex] Block vertices are not moved: ",
                    vertex.string() );
                builder.surface_mesh_builder( id )->set_point(
                    vertex.vertex, point );
            }
        }
    }

    void reverse_triangle(
        StructuralModel& model, const uuid& surface, index_t triangle )
    {
        StructuralModelBuilder builder{ model };
        const auto vertices =
            model.surface( surface ).mesh().polygon_vertices( triangle );
        auto mesh = builder.surface_mesh_builder( surface );
        // A polygon never holds a vertex twice: the swap goes through a
        // spare vertex, deleted afterwards. It is the last vertex, so the
        // others keep their indices and their unique vertices.
        const auto spare = mesh->create_point(
            model.surface( surface ).mesh().point( vertices[1] ) );
        mesh->set_polygon_vertex( { triangle, 1 }, spare );
        mesh->set_polygon_vertex( { triangle, 2 }, vertices[1] );
        mesh->set_polygon_vertex( { triangle, 1 }, vertices[2] );
        const auto old2new = mesh->delete_isolated_vertices();
        for( index_t vertex = 0; vertex < spare; vertex++ )
        {
            TESSARK_EXCEPTION( old2new[vertex] == vertex,
                "[reverse_triangle] Vertex ", vertex, " was renumbered" );
        }
        mesh->compute_polygon_adjacencies();
    }

    const Surface< 3 >& surface_named(
        const BRep& model, std::string_view name )
    {
        for( const auto& surface : model.surfaces() )
        {
            if( surface.name() == name )
            {
                return surface;
            }
        }
        throw TessarkException{ "[surface_named] No surface named ", name };
    }

    std::vector< index_t > inner_vertices( const SurfaceMesh< 3 >& mesh )
    {
        std::vector< index_t > vertices;
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            if( !mesh.is_vertex_isolated( vertex )
                && !mesh.is_vertex_on_border( vertex ) )
            {
                vertices.push_back( vertex );
            }
        }
        return vertices;
    }

    std::vector< index_t > border_vertices( const SurfaceMesh< 3 >& mesh )
    {
        std::vector< index_t > vertices;
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            if( mesh.is_vertex_on_border( vertex ) )
            {
                vertices.push_back( vertex );
            }
        }
        return vertices;
    }
} // namespace brevane::test
