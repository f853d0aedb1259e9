#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/graph_builder.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    TEST( GraphBuilder, deleting_edges_updates_vertex_lists_and_attributes )
    {
        auto curve = test::zigzag_polyline< 2 >( 4 );
        auto tags = curve->edge_attribute_manager()
                        .find_or_create_attribute< VariableAttribute, index_t >(
                            "tag", NO_ID );
        for( index_t edge = 0; edge < 4; edge++ )
        {
            tags->set_value( edge, edge );
        }
        auto builder = EdgedCurveBuilder2D::create( *curve );
        const auto mapping =
            builder->delete_edges( { false, true, false, false } );
        EXPECT_THAT( mapping, testing::ElementsAre( 0, NO_ID, 1, 2 ) );
        EXPECT_EQ( curve->nb_edges(), 3 );
        EXPECT_THAT( curve->edges_around_vertex( 1 ),
            testing::ElementsAre( EdgeVertex{ 0, 1 } ) );
        EXPECT_THAT( curve->edges_around_vertex( 2 ),
            testing::ElementsAre( EdgeVertex{ 1, 0 } ) );
        EXPECT_THAT( curve->edge_vertices( 1 ), testing::ElementsAre( 2, 3 ) );
        EXPECT_EQ( tags->value( 1 ), 2 );
        EXPECT_TRUE( curve->is_edge_isolated( 0 ) );
        EXPECT_FALSE( curve->edge_from_vertices( 1, 2 ) );
    }

    TEST( GraphBuilder, moving_an_edge_end_moves_it_between_vertex_lists )
    {
        auto curve = test::zigzag_polyline< 3 >( 3 );
        auto builder = EdgedCurveBuilder3D::create( *curve );
        const auto extra = builder->create_point( Point3D{ { 9, 9, 9 } } );
        builder->set_edge_vertex( { 2, 1 }, extra );
        EXPECT_TRUE( curve->is_vertex_isolated( 3 ) );
        EXPECT_THAT( curve->edges_around_vertex( extra ),
            testing::ElementsAre( EdgeVertex{ 2, 1 } ) );
        EXPECT_EQ( curve->edge_from_vertices( extra, 2 ), 2 );
        EXPECT_THROW(
            builder->set_edge_vertex( { 2, 1 }, 2 ), TessarkException );
        EXPECT_THROW(
            builder->set_edge_vertex( { 2, 2 }, 0 ), TessarkException );

        const auto vertex_mapping = builder->delete_isolated_vertices();
        EXPECT_THAT(
            vertex_mapping, testing::ElementsAre( 0, 1, 2, NO_ID, 3 ) );
        EXPECT_THAT( curve->edge_vertices( 2 ), testing::ElementsAre( 2, 3 ) );
        EXPECT_EQ( curve->point( 3 ), ( Point3D{ { 9, 9, 9 } } ) );
        EXPECT_EQ( curve->edge_attribute_manager().nb_elements(), 3 );
        EXPECT_EQ( curve->vertex_attribute_manager().nb_elements(), 4 );
    }

    TEST( GraphBuilder, checks_edge_creation_and_vertex_deletion )
    {
        auto graph = Graph::create();
        auto builder = GraphBuilder::create( *graph );
        builder->create_vertices( 3 );
        EXPECT_THROW( builder->create_edge( 1, 1 ), TessarkException );
        EXPECT_THROW( builder->create_edge( 0, 3 ), TessarkException );
        EXPECT_EQ( builder->create_edge( 0, 2 ), 0 );
        const auto loose = builder->create_edge();
        EXPECT_THAT( graph->edge_vertices( loose ),
            testing::ElementsAre( NO_ID, NO_ID ) );
        try
        {
            builder->delete_vertices( { false, false, true } );
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::HasSubstr(
                    "Cannot delete vertex 2: it is used by edge 0" ) );
        }
        EXPECT_EQ( graph->nb_vertices(), 3 );
        EXPECT_THAT( builder->delete_vertices( { false, true, false } ),
            testing::ElementsAre( 0, NO_ID, 1 ) );
        EXPECT_THAT( graph->edge_vertices( 0 ), testing::ElementsAre( 0, 1 ) );
        EXPECT_THAT( graph->edges_around_vertex( 1 ),
            testing::ElementsAre( EdgeVertex{ 0, 1 } ) );
    }

    TEST( EdgedCurve, clones_are_independent )
    {
        auto curve = test::zigzag_polyline< 2 >( 2 );
        curve->vertex_attribute_manager()
            .find_or_create_attribute< VariableAttribute, int >(
                "weight", 3, { false, false, true } );
        const auto clone = curve->clone();
        auto builder = EdgedCurveBuilder2D::create( *clone );
        builder->set_point( 0, Point2D{ { -1, -1 } } );
        builder->delete_edges( { true, false } );
        EXPECT_EQ( curve->nb_edges(), 2 );
        EXPECT_EQ( curve->point( 0 ), ( Point2D{ { 0, 0 } } ) );
        EXPECT_EQ( clone->nb_edges(), 1 );
        EXPECT_EQ( clone->point( 0 ), ( Point2D{ { -1, -1 } } ) );
        EXPECT_EQ( clone->vertex_attribute_manager()
                       .find_attribute< int >( "weight" )
                       ->value( 2 ),
            3 );
    }
} // namespace brevane
