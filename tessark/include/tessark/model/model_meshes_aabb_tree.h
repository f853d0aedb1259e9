#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tessark/model/brep.h>
#include <tessark/search/aabb.h>

namespace brevane
{
    // Search trees over the meshes of one kind of component of a model: one
    // tree over the boxes of all meshes (box index i is the mesh of
    // mesh_ids[i]), and one tree over the elements of each mesh
    // (mesh_trees[uuid_to_mesh_index.at( id )]). A snapshot: rebuild it after
    // the meshes change.
    template < index_t dimension >
    struct ModelMeshesAABBTree
    {
        AABBTree< dimension > components_tree;
        std::vector< uuid > mesh_ids;
        absl::flat_hash_map< uuid, index_t > uuid_to_mesh_index;
        std::vector< AABBTree< dimension > > mesh_trees;
    };

    // Trees over the surfaces of the model, in the model's surface order;
    // the triangle trees are built in parallel.
    [[nodiscard]] ModelMeshesAABBTree< 3 > create_surface_meshes_aabb_trees(
        const BRep& model );
} // namespace brevane
