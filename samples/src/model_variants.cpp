#include <samples/model_variants.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include <tessark/model/structural_model_builder.h>

namespace brevane
{
    void reverse_surface_winding( StructuralModel& model, const uuid& surface )
    {
        StructuralModelBuilder builder{ model };
        const auto& component = model.surface( surface );
        const auto& mesh = component.mesh();
        auto mesh_builder = builder.surface_mesh_builder( surface );
        // A polygon never holds a vertex twice, so two corners swap their
        // vertices through a spare vertex, removed at the end.
        const auto spare = mesh_builder->create_point( Point3D{} );
        for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
        {
            const auto vertices = mesh.polygon_vertices( polygon );
            const auto nb = static_cast< local_index_t >( vertices.size() );
            for( local_index_t first = 0; 2 * first + 1 < nb; first++ )
            {
                const local_index_t second = nb - 1 - first;
                mesh_builder->set_polygon_vertex( { polygon, first }, spare );
                mesh_builder->set_polygon_vertex(
                    { polygon, second }, vertices[first] );
                mesh_builder->set_polygon_vertex(
                    { polygon, first }, vertices[second] );
            }
        }
        mesh_builder->compute_polygon_adjacencies();
        const auto old2new = mesh_builder->delete_isolated_vertices();
        builder.update_component_vertices( component.component_id(), old2new );
    }

    void rewind_surfaces_at_random( StructuralModel& model, std::uint64_t seed )
    {
        std::mt19937_64 random{ seed };
        std::vector< uuid > reversed;
        for( const auto& surface : model.surfaces() )
        {
            if( random() % 2 == 1 )
            {
                reversed.push_back( surface.id() );
            }
        }
        for( const auto& id : reversed )
        {
            reverse_surface_winding( model, id );
        }
    }

    void shuffle_surface_polygons( StructuralModel& model,
        absl::Span< const uuid > surfaces, std::uint64_t seed )
    {
        std::mt19937_64 random{ seed };
        StructuralModelBuilder builder{ model };
        for( const auto& id : surfaces )
        {
            std::vector< index_t > old2new(
                model.surface( id ).mesh().nb_polygons() );
            std::iota( old2new.begin(), old2new.end(), index_t{ 0 } );
            std::shuffle( old2new.begin(), old2new.end(), random );
            builder.surface_mesh_builder( id )->permute_polygons( old2new );
        }
    }
} // namespace brevane
