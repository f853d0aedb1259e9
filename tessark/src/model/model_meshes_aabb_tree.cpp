#include <tessark/model/model_meshes_aabb_tree.h>

#include <tbb/parallel_for.h>

#include <tessark/search/mesh_aabb.h>

namespace brevane
{
    ModelMeshesAABBTree< 3 > create_surface_meshes_aabb_trees( const BRep& model )
    {
        ModelMeshesAABBTree< 3 > trees;
        std::vector< const SurfaceMesh< 3 >* > meshes;
        for( const auto& surface : model.surfaces() )
        {
            trees.uuid_to_mesh_index.emplace(
                surface.id(), static_cast< index_t >( meshes.size() ) );
            trees.mesh_ids.push_back( surface.id() );
            meshes.push_back( &surface.mesh() );
        }
        trees.mesh_trees.resize( meshes.size() );
        tbb::parallel_for( std::size_t{ 0 }, meshes.size(),
            [&trees, &meshes]( std::size_t mesh ) {
                trees.mesh_trees[mesh] = create_aabb_tree( *meshes[mesh] );
            } );
        std::vector< BoundingBox3D > boxes;
        boxes.reserve( meshes.size() );
        for( const auto* mesh : meshes )
        {
            boxes.push_back( mesh->bounding_box() );
        }
        trees.components_tree = AABBTree< 3 >{ boxes };
        return trees;
    }
} // namespace brevane
