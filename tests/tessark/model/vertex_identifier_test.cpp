#include <string>
#include <vector>

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

    TEST( VertexIdentifier, binds_a_whole_component_as_one_vertex_at_a_time )
    {
        // The same bindings through both calls, over a component with
        // earlier bindings (one to a unique vertex it keeps, one it moves).
        const ComponentID surface{ component_types::surface(), uuid{} };
        const ComponentID line{ component_types::line(), uuid{} };
        const std::vector< index_t > unique_vertices{ 2, NO_ID, 0, 2, 1 };
        VertexIdentifier bulk;
        VertexIdentifier single;
        for( auto* identifier : { &bulk, &single } )
        {
            VertexIdentifierBuilder builder{ *identifier };
            builder.create_unique_vertices( 3 );
            builder.set_unique_vertex( { surface, 0 }, 2 );
            builder.set_unique_vertex( { line, 0 }, 2 );
            builder.set_unique_vertex( { surface, 1 }, 1 );
        }
        VertexIdentifierBuilder{ bulk }.set_unique_vertices(
            surface, unique_vertices );
        VertexIdentifierBuilder single_builder{ single };
        for( index_t vertex = 0; vertex < unique_vertices.size(); vertex++ )
        {
            if( unique_vertices[vertex] != NO_ID )
            {
                single_builder.set_unique_vertex(
                    { surface, vertex }, unique_vertices[vertex] );
            }
        }
        for( index_t unique_vertex = 0; unique_vertex < 3; unique_vertex++ )
        {
            const auto& expected =
                single.component_mesh_vertices( unique_vertex );
            EXPECT_EQ( bulk.component_mesh_vertices( unique_vertex ), expected );
        }
        // Vertex 1 keeps its earlier binding; vertex 0 moved to the end of
        // unique vertex 2's list, after the line.
        EXPECT_EQ( bulk.unique_vertex( { surface, 1 } ), 1u );
        EXPECT_EQ( bulk.component_mesh_vertices( 2 ).front().component_id,
            line );
        EXPECT_EQ( bulk.component_unique_vertices( surface.id() ).size(), 5u );
    }

    TEST( VertexIdentifier, bulk_binding_to_a_missing_unique_vertex_binds_nothing )
    {
        VertexIdentifier identifier;
        VertexIdentifierBuilder builder{ identifier };
        const ComponentID surface{ component_types::surface(), uuid{} };
        builder.create_unique_vertices( 2 );
        const std::vector< index_t > unique_vertices{ 0, 1, 2 };
        try
        {
            builder.set_unique_vertices( surface, unique_vertices );
            FAIL() << "binding to unique vertex 2 of 2 was accepted";
        }
        catch( const TessarkException& error )
        {
            EXPECT_NE( std::string{ error.what() }.find(
                           "vertex 2 to unique vertex 2: it does not exist" ),
                std::string::npos )
                << error.what();
        }
        EXPECT_EQ( identifier.unique_vertex( { surface, 0 } ), NO_ID );
        EXPECT_TRUE( identifier.component_mesh_vertices( 0 ).empty() );
        EXPECT_TRUE( identifier.component_unique_vertices( surface.id() ).empty() );
    }
} // namespace brevane
