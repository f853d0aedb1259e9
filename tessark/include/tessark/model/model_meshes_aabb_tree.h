#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tessark/model/brep.h>
#include <tessark/search/aabb.h>

namespace brevane
{
    // Search trees over the meshes of one kind of component of a model: one
    // tree over the boxes of all meshes (box index i is the mesh of
    // mesh_ids[i]), one tree over the elements of each mesh
    // (mesh_trees[uuid_to_mesh_index.at( id )]), and one tree over the
    // leaves of all the mesh trees, which answers a query on every mesh at
    // once. A snapshot: rebuild it after the meshes change.
    template < index_t dimension >
    struct ModelMeshesAABBTree
    {
        // The leaf of a mesh tree: the positions [begin, begin + count) of
        // the leaf order of mesh_trees[mesh].
        struct MeshLeaf
        {
            index_t mesh;
            index_t begin;
            index_t count;
        };

        // Calls action( mesh, element ) for every element of every mesh
        // whose box, grown by GLOBAL_EPSILON, meets the segment: the
        // elements the segment queries of all the mesh trees report, found
        // in one walk of leaves_tree.
        template < typename Action >
        void compute_segment_mesh_element_intersections(
            const Segment< dimension >& segment, Action& action ) const
        {
            auto visit_leaf = [&]( index_t leaf_index )
            {
                const auto& leaf = mesh_leaves[leaf_index];
                const auto& tree = mesh_trees[leaf.mesh];
                for( auto position = leaf.begin;
                     position < leaf.begin + leaf.count; position++ )
                {
                    if( tree.box_at( position ).epsilon_intersects( segment ) )
                    {
                        action( leaf.mesh, tree.element_at( position ) );
                    }
                }
            };
            leaves_tree.compute_segment_element_bbox_intersections(
                segment, visit_leaf );
        }

        AABBTree< dimension > components_tree;
        std::vector< uuid > mesh_ids;
        absl::flat_hash_map< uuid, index_t > uuid_to_mesh_index;
        std::vector< AABBTree< dimension > > mesh_trees;
        // Box i of leaves_tree bounds the elements of mesh_leaves[i] in x
        // and y, and spans the heights of all the meshes: the tree is split
        // in x and y only, into columns, for vertical queries.
        AABBTree< dimension > leaves_tree;
        std::vector< MeshLeaf > mesh_leaves;
    };

    // Trees over the surfaces of the model, in the model's surface order;
    // the triangle trees are built in parallel.
    [[nodiscard]] ModelMeshesAABBTree< 3 > create_surface_meshes_aabb_trees(
        const BRep& model );
} // namespace brevane
