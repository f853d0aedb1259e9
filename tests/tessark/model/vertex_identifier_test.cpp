#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/vertex_identifier.h>

namespace brevane
{
    TEST( VertexIdentifier, binds_and_rebinds_component_vertices )
    {
        VertexIdentifier identifier;
        VertexIdentifierBuilder builder{ identifier };
        const ComponentID surface{ component_types::surface(), uuid{} };
        const ComponentID line{ component_types::line(), uuid{} };
        EXPECT_EQ( builder.create_unique_vertices( 3 ), 0u );

        builder.set_unique_vertex( { surface, 4 }, 1 );
        builder.set_unique_vertex( { line, 0 }, 1 );
        builder.set_unique_vertex( { surface, 0 }, 2 );
        EXPECT_EQ( identifier.unique_vertex( { surface, 4 } ), 1u );
        EXPECT_EQ( identifier.unique_vertex( { surface, 3 } ), NO_ID );
        EXPECT_EQ( identifier.unique_vertex( { surface, 100 } ), NO_ID );
        EXPECT_EQ( identifier.component_mesh_vertices( 1 ).size(), 2u );
        EXPECT_TRUE(
            identifier.has_component_mesh_vertices( 1, component_types::line() ) );

        builder.set_unique_vertex( { surface, 4 }, 2 );
        EXPECT_EQ( identifier.component_mesh_vertices( 1 ).size(), 1u );
        EXPECT_EQ( identifier.component_mesh_vertices( 2, surface.id() ),
            ( std::vector< index_t >{ 0, 4 } ) );
        EXPECT_THROW( builder.set_unique_vertex( { surface, 1 }, 3 ),
            TessarkException );
        EXPECT_THROW( (void) identifier.component_mesh_vertices( 3 ),
            TessarkException );
    }

    TEST( VertexIdentifier, follows_component_renumbering_and_isolated_deletion )
    {
        VertexIdentifier identifier;
        VertexIdentifierBuilder builder{ identifier };
        const ComponentID surface{ component_types::surface(), uuid{} };
        const ComponentID corner{ component_types::corner(), uuid{} };
        builder.create_unique_vertices( 4 );
        for( index_t vertex = 0; vertex < 4; vertex++ )
        {
            builder.set_unique_vertex( { surface, vertex }, vertex );
        }
        builder.set_unique_vertex( { corner, 0 }, 3 );

        // Vertex 1 of the surface is deleted, 2 and 3 shift down.
        const std::vector< index_t > old2new{ 0, NO_ID, 1, 2 };
        builder.update_component_vertices( surface, old2new );
        EXPECT_EQ( identifier.unique_vertex( { surface, 1 } ), 2u );
        EXPECT_EQ( identifier.unique_vertex( { surface, 2 } ), 3u );
        EXPECT_EQ( identifier.unique_vertex( { surface, 3 } ), NO_ID );
        EXPECT_TRUE( identifier.component_mesh_vertices( 1 ).empty() );

        const auto unique_old2new = builder.delete_isolated_vertices();
        EXPECT_EQ( unique_old2new,
            ( std::vector< index_t >{ 0, NO_ID, 1, 2 } ) );
        EXPECT_EQ( identifier.nb_unique_vertices(), 3u );
        EXPECT_EQ( identifier.unique_vertex( { surface, 2 } ), 2u );
        EXPECT_EQ( identifier.unique_vertex( { corner, 0 } ), 2u );
        EXPECT_EQ( identifier.component_mesh_vertices( 2 ).size(), 2u );

        builder.remove_component( corner.id() );
        EXPECT_EQ( identifier.unique_vertex( { corner, 0 } ), NO_ID );
        EXPECT_EQ( identifier.component_mesh_vertices( 2 ).size(), 1u );
    }
} // namespace brevane
