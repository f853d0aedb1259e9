#include "horizon_distances.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/search/ray_tracing.h>

namespace brevane::cli
{
    namespace
    {
        // The largest vertical distance from the rebuilt surface's vertices
        // to the input surface of the same id, along vertical segments
        // through the whole input model.
        double largest_vertical_distance( const StructuralModel& input,
            const ModelMeshesAABBTree< 3 >& input_trees,
            const StructuralModel& rebuilt, const uuid& surface )
        {
            const auto box = input.bounding_box();
            const auto& input_mesh = input.surface( surface ).mesh();
            const auto& tree =
                input_trees
                    .mesh_trees[input_trees.uuid_to_mesh_index.at( surface )];
            const auto& mesh = rebuilt.surface( surface ).mesh();
            double largest{ 0 };
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                const auto& point = mesh.point( vertex );
                const Segment3D line{ Point3D{
                                          { point.value( 0 ), point.value( 1 ),
                                              box.max().value( 2 ) + 1 } },
                    Point3D{ { point.value( 0 ), point.value( 1 ),
                        box.min().value( 2 ) - 1 } } };
                RayTracing3D tracer{ input_mesh, line.vertices()[0], line };
                tree.compute_segment_element_bbox_intersections( line, tracer );
                // The hit nearest to the vertex: a surface met twice on one
                // vertical is a multi-z surface the inspection refuses.
                std::optional< double > nearest;
                for( const auto& hit : tracer.all_intersections() )
                {
                    const auto distance =
                        std::abs( hit.point.value( 2 ) - point.value( 2 ) );
                    nearest =
                        std::min( nearest.value_or( distance ), distance );
                }
                largest = std::max( largest, nearest.value_or( 0 ) );
            }
            return largest;
        }
    } // namespace

    std::vector< HorizonDistance > horizon_distances(
        const StructuralModel& input, const StructuralModel& rebuilt )
    {
        const auto input_trees = create_surface_meshes_aabb_trees( input );
        std::vector< HorizonDistance > distances;
        for( const auto& horizon : input.horizons() )
        {
            HorizonDistance distance{ std::string{ horizon.name() }, 0 };
            for( const auto& item : input.horizon_items( horizon ) )
            {
                if( input.has_surface( item.id() )
                    && rebuilt.has_surface( item.id() ) )
                {
                    distance.largest = std::max( distance.largest,
                        largest_vertical_distance(
                            input, input_trees, rebuilt, item.id() ) );
                }
            }
            distances.push_back( std::move( distance ) );
        }
        return distances;
    }
} // namespace brevane::cli
