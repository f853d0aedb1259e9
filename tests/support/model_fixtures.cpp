#include "support/model_fixtures.h"

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

namespace brevane::test
{
    Tetrahedron::Tetrahedron()
        : points{ Point3D{ { 0, 0, 0 } }, Point3D{ { 1, 0, 0 } },
              Point3D{ { 0, 1, 0 } }, Point3D{ { 0, 0, 1 } } }
    {
        StructuralModelBuilder builder{ model };
        builder.create_unique_vertices( 4 );
        for( index_t point = 0; point < 4; point++ )
        {
            corners[point] = builder.add_corner();
            builder.corner_mesh_builder( corners[point] )
                ->create_point( points[point] );
            builder.set_unique_vertex(
                { model.corner( corners[point] ).component_id(), 0 }, point );
        }
        const std::array< std::array< index_t, 2 >, 6 > line_ends{ { { 0, 1 },
            { 0, 2 }, { 0, 3 }, { 1, 2 }, { 1, 3 }, { 2, 3 } } };
        for( index_t line = 0; line < 6; line++ )
        {
            lines[line] = builder.add_line();
            auto mesh = builder.line_mesh_builder( lines[line] );
            for( const auto end : line_ends[line] )
            {
                const auto vertex = mesh->create_point( points[end] );
                builder.set_unique_vertex(
                    { model.line( lines[line] ).component_id(), vertex }, end );
                builder.add_corner_line_boundary_relationship(
                    model.corner( corners[end] ), model.line( lines[line] ) );
            }
            mesh->create_edge( 0, 1 );
        }
        // Faces oriented outwards.
        const std::array< std::array< index_t, 3 >, 4 > faces{ { { 1, 2, 3 },
            { 0, 3, 2 }, { 0, 1, 3 }, { 0, 2, 1 } } };
        block = builder.add_block();
        for( index_t face = 0; face < 4; face++ )
        {
            surfaces[face] = builder.add_surface();
            const auto& surface = model.surface( surfaces[face] );
            auto mesh = builder.surface_mesh_builder<
                TriangulatedSurfaceBuilder< 3 > >( surfaces[face] );
            for( const auto point : faces[face] )
            {
                const auto vertex = mesh->create_point( points[point] );
                builder.set_unique_vertex(
                    { surface.component_id(), vertex }, point );
            }
            mesh->create_triangle( { 0, 1, 2 } );
            mesh->compute_polygon_adjacencies();
            for( index_t line = 0; line < 6; line++ )
            {
                const auto& ends = line_ends[line];
                if( ends[0] != face && ends[1] != face )
                {
                    builder.add_line_surface_boundary_relationship(
                        model.line( lines[line] ), surface );
                }
            }
            builder.add_surface_block_boundary_relationship(
                surface, model.block( block ) );
        }
    }

    std::vector< uuid > ids_of( const std::vector< ComponentID >& components )
    {
        std::vector< uuid > result;
        result.reserve( components.size() );
        for( const auto& component : components )
        {
            result.push_back( component.id() );
        }
        return result;
    }

    void remove_lines_and_corners( StructuralModel& model )
    {
        StructuralModelBuilder builder{ model };
        std::vector< uuid > lines;
        std::vector< uuid > corners;
        for( const auto& line : model.lines() )
        {
            lines.push_back( line.id() );
        }
        for( const auto& corner : model.corners() )
        {
            corners.push_back( corner.id() );
        }
        for( const auto& id : lines )
        {
            builder.remove_line( model.line( id ) );
        }
        for( const auto& id : corners )
        {
            builder.remove_corner( model.corner( id ) );
        }
    }
} // namespace brevane::test
