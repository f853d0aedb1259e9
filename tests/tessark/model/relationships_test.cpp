#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/relationships.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        struct Fixture
        {
            Fixture()
            {
                for( const auto& line : lines )
                {
                    relationships.register_component(
                        { component_types::line(), line } );
                }
                for( const auto& surface : surfaces )
                {
                    relationships.register_component(
                        { component_types::surface(), surface } );
                }
                relationships.register_component(
                    { component_types::horizon(), horizon } );
                relationships.register_component(
                    { component_types::model_boundary(), boundary } );
            }

            Relationships relationships;
            std::vector< uuid > lines{ uuid{}, uuid{}, uuid{} };
            std::vector< uuid > surfaces{ uuid{}, uuid{}, uuid{} };
            uuid horizon;
            uuid boundary;
        };
    } // namespace

    TEST( Relationships, queries_answer_in_insertion_order )
    {
        Fixture model;
        auto& relations = model.relationships;
        relations.add_boundary_relation( model.lines[2], model.surfaces[1] );
        relations.add_boundary_relation( model.lines[0], model.surfaces[1] );
        relations.add_boundary_relation( model.lines[1], model.surfaces[1] );
        relations.add_boundary_relation( model.lines[0], model.surfaces[2] );
        relations.add_boundary_relation( model.lines[0], model.surfaces[0] );
        relations.add_internal_relation( model.lines[1], model.surfaces[0] );

        EXPECT_EQ( test::ids_of( relations.boundaries( model.surfaces[1] ) ),
            ( std::vector< uuid >{
                model.lines[2], model.lines[0], model.lines[1] } ) );
        EXPECT_EQ( test::ids_of( relations.incidences( model.lines[0] ) ),
            ( std::vector< uuid >{
                model.surfaces[1], model.surfaces[2], model.surfaces[0] } ) );
        EXPECT_EQ( relations.nb_incidences( model.lines[1] ), 1u );
        EXPECT_EQ( test::ids_of( relations.embeddings( model.lines[1] ) ),
            ( std::vector< uuid >{ model.surfaces[0] } ) );
        EXPECT_EQ( test::ids_of( relations.internal_components( model.surfaces[0] ) ),
            ( std::vector< uuid >{ model.lines[1] } ) );
        EXPECT_TRUE( relations.is_boundary( model.lines[2], model.surfaces[1] ) );
        EXPECT_FALSE( relations.is_boundary( model.surfaces[1], model.lines[2] ) );
        EXPECT_FALSE( relations.is_boundary( model.lines[1], model.surfaces[0] ) );
    }

    TEST( Relationships, collections_name_their_type )
    {
        Fixture model;
        auto& relations = model.relationships;
        relations.add_item_in_collection( model.surfaces[0], model.boundary );
        relations.add_item_in_collection( model.surfaces[0], model.horizon );
        relations.add_item_in_collection( model.surfaces[0], model.horizon );
        relations.add_item_in_collection( model.surfaces[2], model.horizon );

        const auto collections = relations.collections( model.surfaces[0] );
        ASSERT_EQ( collections.size(), 2u );
        EXPECT_EQ( collections[0].type().get(), "ModelBoundary" );
        EXPECT_EQ( collections[1].type().get(), "Horizon" );
        EXPECT_EQ( collections[1].id(), model.horizon );
        EXPECT_EQ( relations.nb_items( model.horizon ), 2u );
        EXPECT_EQ( test::ids_of( relations.items( model.horizon ) ),
            ( std::vector< uuid >{ model.surfaces[0], model.surfaces[2] } ) );
    }

    TEST( Relationships, unregistering_removes_every_relation_of_a_component )
    {
        Fixture model;
        auto& relations = model.relationships;
        relations.add_boundary_relation( model.lines[0], model.surfaces[0] );
        relations.add_boundary_relation( model.lines[1], model.surfaces[0] );
        relations.add_item_in_collection( model.lines[0], model.boundary );
        relations.unregister_component( model.lines[0] );

        EXPECT_FALSE( relations.is_registered( model.lines[0] ) );
        EXPECT_EQ( test::ids_of( relations.boundaries( model.surfaces[0] ) ),
            ( std::vector< uuid >{ model.lines[1] } ) );
        EXPECT_EQ( relations.nb_items( model.boundary ), 0u );
        EXPECT_THROW( (void) relations.incidences( model.lines[0] ),
            TessarkException );

        relations.remove_relation( model.surfaces[0], model.lines[1] );
        EXPECT_EQ( relations.nb_boundaries( model.surfaces[0] ), 0u );
        EXPECT_EQ( relations.nb_incidences( model.lines[1] ), 0u );
    }

    TEST( Relationships, unknown_ids_are_named_in_the_error )
    {
        Relationships relations;
        const uuid unknown;
        try
        {
            (void) relations.component( unknown );
            FAIL();
        }
        catch( const TessarkException& error )
        {
            EXPECT_NE(
                std::string{ error.what() }.find( unknown.string() ),
                std::string::npos );
        }
    }
} // namespace brevane
