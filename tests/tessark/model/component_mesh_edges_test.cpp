#include <gtest/gtest.h>

#include <tessark/model/component_mesh_edges.h>
#include <tessark/model/model_meshes_aabb_tree.h>

#include "support/model_fixtures.h"

namespace brevane
{
    TEST( ComponentMeshEdges, lists_every_surface_and_line_sharing_an_edge )
    {
        test::Tetrahedron tetrahedron;
        const auto& model = tetrahedron.model;
        // Face 0 is (1, 2, 3): its edge 0 joins points 1 and 2, shared with
        // face 3 and carried by line (1, 2).
        const auto& face = model.surface( tetrahedron.surfaces[0] );
        const PolygonEdge edge{ 0, 0 };
        EXPECT_EQ( edge_unique_vertices( model, face, edge ),
            ( std::array< index_t, 2 >{ 1, 2 } ) );

        const auto shared = component_mesh_edges( model, face, edge );
        ASSERT_EQ( shared.surface_edges.size(), 2u );
        EXPECT_EQ( shared.surface_edges[0].first, tetrahedron.surfaces[0] );
        EXPECT_EQ( shared.surface_edges[1].first, tetrahedron.surfaces[3] );
        const auto& other = model.surface( tetrahedron.surfaces[3] ).mesh();
        ASSERT_EQ( shared.surface_edges[1].second.size(), 1u );
        const auto other_ends =
            other.polygon_edge_vertices( shared.surface_edges[1].second[0] );
        EXPECT_EQ( other.point( other_ends[0] ), tetrahedron.points[2] );
        EXPECT_EQ( other.point( other_ends[1] ), tetrahedron.points[1] );
        ASSERT_EQ( shared.line_edges.size(), 1u );
        EXPECT_EQ( shared.line_edges[0].first, tetrahedron.lines[3] );
        EXPECT_EQ( shared.line_edges[0].second, std::vector< index_t >{ 0 } );
    }

    TEST( ModelMeshesAABBTree, indexes_surfaces_in_model_order )
    {
        test::Tetrahedron tetrahedron;
        const auto trees = create_surface_meshes_aabb_trees( tetrahedron.model );
        ASSERT_EQ( trees.mesh_ids.size(), 4u );
        EXPECT_EQ( trees.components_tree.nb_bboxes(), 4u );
        for( index_t face = 0; face < 4; face++ )
        {
            EXPECT_EQ( trees.mesh_ids[face], tetrahedron.surfaces[face] );
            EXPECT_EQ( trees.uuid_to_mesh_index.at( tetrahedron.surfaces[face] ),
                face );
            EXPECT_EQ( trees.mesh_trees[face].nb_bboxes(), 1u );
        }
    }
} // namespace brevane
