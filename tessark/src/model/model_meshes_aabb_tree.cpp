#include <tessark/model/model_meshes_aabb_tree.h>

#include <tbb/parallel_for.h>

#include <tessark/search/mesh_aabb.h>

namespace
{
    using namespace brevane;

    // The leaves of every mesh tree, mesh by mesh, and their boxes spread
    // over the whole height of the meshes.
    void collect_mesh_leaves( const std::vector< AABBTree< 3 > >& mesh_trees,
        std::vector< ModelMeshesAABBTree< 3 >::MeshLeaf >& mesh_leaves,
        std::vector< BoundingBox3D >& boxes )
    {
        // Every box spans the same heights: the tree splits in x and y only,
        // into columns, and a vertical query goes down one column instead
        // of one subtree per surface it crosses.
        BoundingBox3D all;
        for( const auto& tree : mesh_trees )
        {
            all.add_box( tree.bounding_box() );
        }
        const auto low = all.empty() ? 0. : all.min().value( 2 );
        const auto high = all.empty() ? 0. : all.max().value( 2 );
        std::vector< std::vector< AABBTree< 3 >::Leaf > > leaves(
            mesh_trees.size() );
        std::vector< std::size_t > offsets( mesh_trees.size() + 1, 0 );
        for( std::size_t mesh = 0; mesh < mesh_trees.size(); mesh++ )
        {
            leaves[mesh] = mesh_trees[mesh].leaves();
            offsets[mesh + 1] = offsets[mesh] + leaves[mesh].size();
        }
        mesh_leaves.resize( offsets.back() );
        boxes.resize( offsets.back() );
        tbb::parallel_for( std::size_t{ 0 }, mesh_trees.size(),
            [&]( std::size_t mesh )
            {
                const auto& tree = mesh_trees[mesh];
                for( std::size_t leaf = 0; leaf < leaves[mesh].size(); leaf++ )
                {
                    const auto [begin, count] = leaves[mesh][leaf];
                    const auto index = offsets[mesh] + leaf;
                    mesh_leaves[index] = { static_cast< index_t >( mesh ),
                        begin, count };
                    auto& box = boxes[index];
                    for( auto position = begin; position < begin + count;
                         position++ )
                    {
                        box.add_box( tree.box_at( position ) );
                    }
                    if( !box.empty() )
                    {
                        box.add_point( Point3D{ { box.min().value( 0 ),
                            box.min().value( 1 ), low } } );
                        box.add_point( Point3D{ { box.max().value( 0 ),
                            box.max().value( 1 ), high } } );
                    }
                }
            } );
    }
} // namespace

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
        std::vector< BoundingBox3D > leaf_boxes;
        collect_mesh_leaves( trees.mesh_trees, trees.mesh_leaves, leaf_boxes );
        trees.leaves_tree = AABBTree< 3 >{ leaf_boxes };
        return trees;
    }
} // namespace brevane
