#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    TEST( PointSet, vertices_points_and_attributes_follow_changes )
    {
        auto points = PointSet3D::create();
        auto builder = PointSetBuilder3D::create( *points );
        auto tags = points->vertex_attribute_manager()
                        .find_or_create_attribute< VariableAttribute, int >(
                            "tag", -1 );
        for( int vertex = 0; vertex < 4; vertex++ )
        {
            EXPECT_EQ( builder->create_point(
                           Point3D{ { 1. * vertex, 0, -1. * vertex } } ),
                vertex );
            tags->set_value( vertex, vertex );
        }
        EXPECT_EQ( builder->create_vertices( 2 ), 4 );
        EXPECT_EQ( tags->value( 5 ), -1 );
        EXPECT_EQ( points->point( 5 ), ( Point3D{ { 0, 0, 0 } } ) );
        EXPECT_EQ( points->bounding_box().min(), ( Point3D{ { 0, 0, -3 } } ) );
        EXPECT_EQ( points->bounding_box().max(), ( Point3D{ { 3, 0, 0 } } ) );

        EXPECT_THAT( builder->delete_vertices(
                         { true, false, false, false, true, true } ),
            testing::ElementsAre( NO_ID, 0, 1, 2, NO_ID, NO_ID ) );
        const std::vector< index_t > reverse{ 2, 1, 0 };
        builder->permute_vertices( reverse );
        EXPECT_EQ( points->nb_vertices(), 3 );
        EXPECT_EQ( points->point( 0 ), ( Point3D{ { 3, 0, -3 } } ) );
        EXPECT_EQ( tags->value( 0 ), 3 );
        EXPECT_EQ( tags->value( 2 ), 1 );
        EXPECT_THROW( builder->set_point( 3, Point3D{} ), TessarkException );
        EXPECT_THROW(
            static_cast< void >( points->point( 3 ) ), TessarkException );
    }

    TEST( VertexSet, plain_vertex_sets_have_their_builder )
    {
        auto vertices = VertexSet::create();
        auto builder = VertexSetBuilder::create( *vertices );
        EXPECT_EQ( builder->create_vertices( 3 ), 0 );
        EXPECT_EQ( builder->create_vertex(), 3 );
        EXPECT_EQ( vertices->nb_vertices(), 4 );
        EXPECT_EQ( vertices->clone()->nb_vertices(), 4 );
    }
} // namespace brevane
