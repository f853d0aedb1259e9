#include <array>
#include <limits>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        template < typename Call >
        std::string error_message( const Call& call )
        {
            try
            {
                call();
            }
            catch( const TessarkException& error )
            {
                return error.what();
            }
            return "no error";
        }

        // Polygon attribute holding each polygon's creation index, edge
        // attribute holding each edge's sorted vertex pair, vertex attribute
        // holding each vertex's creation index.
        template < index_t D >
        void tag_elements( const SurfaceMesh< D >& surface )
        {
            auto polygon_tags =
                surface.polygon_attribute_manager()
                    .template find_or_create_attribute< VariableAttribute,
                        index_t >( "tag", NO_ID );
            for( index_t polygon = 0; polygon < surface.nb_polygons();
                 polygon++ )
            {
                polygon_tags->set_value( polygon, polygon );
            }
            auto edge_tags =
                surface.edges()
                    .edge_attribute_manager()
                    .template find_or_create_attribute< VariableAttribute,
                        std::array< index_t, 2 > >( "ends", { NO_ID, NO_ID } );
            for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
            {
                auto ends = surface.edges().edge_vertices( edge );
                std::sort( ends.begin(), ends.end() );
                edge_tags->set_value( edge, ends );
            }
            auto vertex_tags =
                surface.vertex_attribute_manager()
                    .template find_or_create_attribute< VariableAttribute,
                        index_t >( "tag", NO_ID );
            for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
            {
                vertex_tags->set_value( vertex, vertex );
            }
        }
    } // namespace

    TEST( SurfaceMeshBuilder, polygon_creation_checks_its_vertices )
    {
        auto surface = TriangulatedSurface2D::create();
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        builder->create_vertices( 3 );
        EXPECT_THAT( error_message(
                         [&builder]
                         {
                             builder->create_triangle( { 0, 1, 5 } );
                         } ),
            testing::HasSubstr( "Vertex 5 does not exist" ) );
        EXPECT_THAT( error_message(
                         [&builder]
                         {
                             builder->create_triangle( { 0, 2, 2 } );
                         } ),
            testing::HasSubstr( "Vertex 2 given twice" ) );
        const std::vector< index_t > quad{ 0, 1, 2, 0 };
        EXPECT_THAT( error_message(
                         [&builder, &quad]
                         {
                             builder->create_polygon( quad );
                         } ),
            testing::HasSubstr( "have 3 vertices, 4 given" ) );
        EXPECT_EQ( surface->nb_polygons(), 0 );
        EXPECT_EQ( surface->edges().nb_edges(), 0 );
        EXPECT_EQ( builder->create_triangle( { 0, 1, 2 } ), 0 );
        EXPECT_EQ( builder->create_triangle( { 2, 1, 0 } ), 1 );

        auto polygons = PolygonalSurface3D::create();
        auto polygon_builder = PolygonalSurfaceBuilder3D::create( *polygons );
        polygon_builder->create_vertices( 4 );
        const std::vector< index_t > segment{ 0, 1 };
        EXPECT_THAT( error_message(
                         [&polygon_builder, &segment]
                         {
                             polygon_builder->create_polygon( segment );
                         } ),
            testing::HasSubstr( "3 to 254 vertices, 2 given" ) );
        EXPECT_EQ( polygon_builder->create_polygon(
                       std::vector< index_t >{ 0, 1, 2, 3 } ),
            0 );
        EXPECT_EQ( polygons->nb_polygon_vertices( 0 ), 4 );
    }

    TEST( SurfaceMeshBuilder,
        deleting_polygons_compacts_polygons_edges_and_attributes )
    {
        // 3 x 3 grid: triangles 8 and 9 (middle square) and 0 and 1 (corner
        // square at the origin) go, leaving vertex 0 isolated.
        auto surface = test::grid_surface< 2 >( 3, 3 );
        tag_elements( *surface );
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        std::vector< bool > to_delete( 18, false );
        to_delete[0] = to_delete[1] = to_delete[8] = to_delete[9] = true;

        const auto mappings =
            builder->delete_polygons_with_edge_mapping( to_delete );
        ASSERT_EQ( mappings.polygons.size(), 18 );
        for( index_t polygon = 0; polygon < 18; polygon++ )
        {
            const auto removed_before = ( polygon > 0 ) + ( polygon > 1 )
                                        + ( polygon > 8 ) + ( polygon > 9 );
            EXPECT_EQ( mappings.polygons[polygon],
                to_delete[polygon] ? NO_ID : polygon - removed_before );
        }
        EXPECT_EQ( surface->nb_polygons(), 14 );
        const auto polygon_tags =
            surface->polygon_attribute_manager().find_attribute< index_t >(
                "tag" );
        for( index_t polygon = 0; polygon < 18; polygon++ )
        {
            if( mappings.polygons[polygon] != NO_ID )
            {
                EXPECT_EQ( polygon_tags->value( mappings.polygons[polygon] ),
                    polygon );
            }
        }
        // The corner square's diagonal and its two outer sides are no longer
        // used; the middle square only loses its diagonal.
        EXPECT_EQ( surface->edges().nb_edges(), 33 - 4 );
        const auto edge_tags =
            surface->edges()
                .edge_attribute_manager()
                .find_attribute< std::array< index_t, 2 > >( "ends" );
        index_t removed_edges{ 0 };
        for( const auto new_edge : mappings.edges )
        {
            removed_edges += new_edge == NO_ID ? 1 : 0;
        }
        EXPECT_EQ( removed_edges, 4 );
        for( index_t edge = 0; edge < surface->edges().nb_edges(); edge++ )
        {
            auto ends = surface->edges().edge_vertices( edge );
            std::sort( ends.begin(), ends.end() );
            EXPECT_EQ( edge_tags->value( edge ), ends );
        }
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
        EXPECT_TRUE( surface->is_vertex_isolated( 0 ) );
        // Vertex 5 at (1, 1) is left with two triangles touching only there:
        // each fan is walked on its own.
        EXPECT_TRUE( surface->is_vertex_on_border( 5 ) );
        EXPECT_EQ( surface->polygons_around_vertex( 5 ).size(), 1 );

        const auto vertex_mapping = builder->delete_isolated_vertices();
        std::vector< index_t > expected( 16 );
        std::iota( expected.begin(), expected.end(), index_t{ 0 } - 1 );
        expected[0] = NO_ID;
        EXPECT_EQ( vertex_mapping, expected );
        EXPECT_EQ( surface->nb_vertices(), 15 );
        EXPECT_EQ( surface->point( 0 ), ( Point2D{ { 1, 0 } } ) );
        const auto vertex_tags =
            surface->vertex_attribute_manager().find_attribute< index_t >(
                "tag" );
        EXPECT_EQ( vertex_tags->value( 0 ), 1 );
        for( index_t edge = 0; edge < surface->edges().nb_edges(); edge++ )
        {
            auto ends = surface->edges().edge_vertices( edge );
            std::sort( ends.begin(), ends.end() );
            EXPECT_EQ( edge_tags->value( edge ),
                ( std::array< index_t, 2 >{ ends[0] + 1, ends[1] + 1 } ) );
        }
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
    }

    TEST( SurfaceMeshBuilder, used_vertices_cannot_be_deleted )
    {
        auto surface = test::open_fan< 3 >();
        auto builder = TriangulatedSurfaceBuilder3D::create( *surface );
        std::vector< bool > to_delete( surface->nb_vertices(), false );
        to_delete[2] = true;
        EXPECT_THAT( error_message(
                         [&]
                         {
                             builder->delete_vertices( to_delete );
                         } ),
            testing::HasSubstr(
                "Cannot delete vertex 2: it is used by polygon 0" ) );
        EXPECT_EQ( surface->nb_vertices(), 6 );
        EXPECT_EQ( surface->vertex_attribute_manager().nb_elements(), 6 );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
    }

    TEST( SurfaceMeshBuilder, local_edge_flip_keeps_the_surface_consistent )
    {
        // Square (0, 1, 3, 2) split by the diagonal 0-3 into (0, 1, 3) and
        // (0, 3, 2); the flip makes it (0, 1, 2) and (1, 3, 2).
        auto surface = test::grid_surface< 2 >( 1, 1 );
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        const auto diagonal = surface->edges().edge_from_vertices( { 0, 3 } );
        ASSERT_TRUE( diagonal );

        builder->set_polygon_vertex( { 0, 2 }, 2 );
        builder->set_polygon_vertex( { 1, 0 }, 1 );
        builder->set_polygon_adjacent( { 0, 2 }, NO_ID );
        builder->set_polygon_adjacent( { 0, 1 }, 1 );
        builder->set_polygon_adjacent( { 1, 0 }, NO_ID );
        builder->set_polygon_adjacent( { 1, 2 }, 0 );

        EXPECT_THAT(
            surface->polygon_vertices( 0 ), testing::ElementsAre( 0, 1, 2 ) );
        EXPECT_THAT(
            surface->polygon_vertices( 1 ), testing::ElementsAre( 1, 3, 2 ) );
        EXPECT_EQ( surface->polygon_edge( { 0, 1 } ),
            surface->polygon_edge( { 1, 2 } ) );
        EXPECT_EQ( surface->edges().nb_edges(), 6 );
        const auto edge_mapping = builder->delete_isolated_edges();
        EXPECT_EQ( edge_mapping[*diagonal], NO_ID );
        EXPECT_FALSE( surface->edges().edge_from_vertices( { 0, 3 } ) );
        EXPECT_TRUE( surface->edges().edge_from_vertices( { 2, 1 } ) );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
        EXPECT_EQ( surface->polygon_edge_from_vertices( 2, 1 ),
            ( PolygonEdge{ 1, 2 } ) );
    }

    TEST( SurfaceMeshBuilder, edge_split_interpolates_and_assigns_attributes )
    {
        // The diagonal 0-3 of the unit square is split at its middle: each
        // triangle keeps one half and a new triangle copies its attributes.
        auto surface = test::grid_surface< 3 >( 1, 1 );
        auto builder = TriangulatedSurfaceBuilder3D::create( *surface );
        auto z =
            surface->vertex_attribute_manager()
                .find_or_create_attribute< VariableAttribute, double >(
                    "z_coordinate", std::numeric_limits< double >::quiet_NaN(),
                    { false, true, true } );
        auto surface_ids = surface->polygon_attribute_manager()
                               .find_or_create_attribute< VariableAttribute,
                                   std::vector< int > >(
                                   "surface_ids", {}, { true, false, true } );
        for( index_t vertex = 0; vertex < 4; vertex++ )
        {
            z->set_value( vertex, 10. * vertex );
        }
        surface_ids->set_value( 0, { 7 } );
        surface_ids->set_value( 1, { 8, 9 } );

        const auto middle = builder->create_point( Point3D{ { 0.5, 0.5, 0 } } );
        EXPECT_TRUE( std::isnan( z->value( middle ) ) );
        surface->vertex_attribute_manager().interpolate_attribute_value(
            { { 0, 3 }, { 0.5, 0.5 } }, middle );
        builder->set_polygon_vertex( { 0, 2 }, middle );
        const auto first_half = builder->create_triangle( { middle, 1, 3 } );
        surface->polygon_attribute_manager().assign_attribute_value(
            0, first_half );
        builder->set_polygon_vertex( { 1, 1 }, middle );
        const auto second_half = builder->create_triangle( { middle, 3, 2 } );
        surface->polygon_attribute_manager().assign_attribute_value(
            1, second_half );
        builder->compute_polygon_adjacencies();
        builder->delete_isolated_edges();

        EXPECT_DOUBLE_EQ( z->value( middle ), 15 );
        EXPECT_THAT(
            surface_ids->value( first_half ), testing::ElementsAre( 7 ) );
        EXPECT_THAT(
            surface_ids->value( second_half ), testing::ElementsAre( 8, 9 ) );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
        EXPECT_FALSE( surface->is_vertex_on_border( middle ) );
        EXPECT_EQ( surface->polygons_around_vertex( middle ).size(), 4 );
        EXPECT_EQ( surface->edges().nb_edges(), 8 );
    }

    TEST( SurfaceMeshBuilder, edge_collapse_leaves_an_isolated_vertex_to_clean )
    {
        // Closed fan: collapsing the spoke 0-1 onto vertex 0 removes the two
        // triangles on the spoke and moves vertex 1's other uses to vertex 0.
        auto surface = test::closed_fan< 2 >();
        tag_elements( *surface );
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        std::vector< bool > to_delete( surface->nb_polygons(), false );
        for( const auto& corner : surface->polygons_around_vertex( 1 ) )
        {
            const auto vertices =
                surface->polygon_vertices( corner.polygon_id );
            if( std::find( vertices.begin(), vertices.end(), 0 )
                != vertices.end() )
            {
                to_delete[corner.polygon_id] = true;
            }
            else
            {
                builder->set_polygon_vertex( corner, 0 );
            }
        }
        const auto polygon_mapping = builder->delete_polygons( to_delete );
        builder->compute_polygon_adjacencies();
        const auto vertex_mapping = builder->delete_isolated_vertices();

        EXPECT_EQ( polygon_mapping[0], NO_ID );
        EXPECT_EQ( polygon_mapping[5], NO_ID );
        EXPECT_EQ( polygon_mapping[1], 0 );
        EXPECT_EQ( vertex_mapping[1], NO_ID );
        EXPECT_EQ( vertex_mapping[2], 1 );
        EXPECT_EQ( surface->nb_polygons(), 4 );
        EXPECT_EQ( surface->nb_vertices(), 6 );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
        // Vertex 0 is now on the border between rim vertices 6 and 2.
        EXPECT_TRUE( surface->is_vertex_on_border( 0 ) );
        EXPECT_EQ( surface->polygon_attribute_manager()
                       .find_attribute< index_t >( "tag" )
                       ->value( 0 ),
            1 );
    }

    TEST( SurfaceMeshBuilder, deleting_a_vertex_drops_its_leftover_edges )
    {
        // Triangle 1 (0, 3, 2) of the unit square moves its corner from
        // vertex 2 to a new vertex 4; edges 3-2 and 2-0 are left unused,
        // then vertex 2 is deleted before any edge compaction.
        auto surface = test::grid_surface< 2 >( 1, 1 );
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        const auto moved = builder->create_point( Point2D{ { -1, 2 } } );
        builder->set_polygon_vertex( { 1, 2 }, moved );
        builder->compute_polygon_adjacencies();
        EXPECT_EQ( surface->edges().nb_edges(), 7 );
        const auto mapping = builder->delete_isolated_vertices();
        EXPECT_THAT( mapping, testing::ElementsAre( 0, 1, NO_ID, 2, 3 ) );
        EXPECT_EQ( surface->edges().nb_edges(), 5 );
        EXPECT_THAT(
            surface->polygon_vertices( 1 ), testing::ElementsAre( 0, 2, 3 ) );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
    }

    TEST( SurfaceMeshBuilder, moved_surfaces_keep_their_content )
    {
        auto surface = test::closed_fan< 3 >();
        TriangulatedSurface3D moved{ std::move( *surface ) };
        EXPECT_EQ( moved.nb_polygons(), 6 );
        EXPECT_THAT(
            test::surface_inconsistencies( moved ), testing::IsEmpty() );
        auto builder = TriangulatedSurfaceBuilder3D::create( moved );
        builder->create_triangle(
            { 1, 2, builder->create_point( Point3D{ { 1, 1, 1 } } ) } );
        EXPECT_EQ( moved.nb_polygons(), 7 );
    }

    TEST( SurfaceMeshBuilder, permutations_keep_topology_and_attributes )
    {
        auto surface = test::l_shape< 2 >();
        tag_elements( *surface );
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        const auto nb_polygons = surface->nb_polygons();
        const auto nb_vertices = surface->nb_vertices();
        std::vector< index_t > polygon_order( nb_polygons );
        std::vector< index_t > vertex_order( nb_vertices );
        std::vector< Point2D > barycenters;
        for( index_t polygon = 0; polygon < nb_polygons; polygon++ )
        {
            polygon_order[polygon] = nb_polygons - 1 - polygon;
            barycenters.push_back( surface->polygon_barycenter( polygon ) );
        }
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            vertex_order[vertex] = ( vertex * 5 ) % nb_vertices;
        }
        builder->permute_polygons( polygon_order );
        builder->permute_vertices( vertex_order );

        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
        const auto polygon_tags =
            surface->polygon_attribute_manager().find_attribute< index_t >(
                "tag" );
        const auto vertex_tags =
            surface->vertex_attribute_manager().find_attribute< index_t >(
                "tag" );
        for( index_t polygon = 0; polygon < nb_polygons; polygon++ )
        {
            EXPECT_EQ( polygon_tags->value( polygon_order[polygon] ), polygon );
            EXPECT_EQ( surface->polygon_barycenter( polygon_order[polygon] ),
                barycenters[polygon] );
        }
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            EXPECT_EQ( vertex_tags->value( vertex_order[vertex] ), vertex );
        }
        const std::vector< index_t > repeated( nb_vertices, 0 );
        EXPECT_THROW( builder->permute_vertices( repeated ), TessarkException );
    }

    TEST( SurfaceMeshBuilder,
        clones_are_independent_and_keep_transferable_attributes )
    {
        auto surface = test::square_ring< 3 >();
        auto kept = surface->polygon_attribute_manager()
                        .find_or_create_attribute< VariableAttribute, int >(
                            "kept", 0, { false, false, true } );
        surface->polygon_attribute_manager()
            .find_or_create_attribute< VariableAttribute, int >( "dropped", 0 );
        kept->set_value( 3, 33 );
        const auto clone = surface->clone();
        EXPECT_THAT(
            test::surface_inconsistencies( *clone ), testing::IsEmpty() );
        EXPECT_EQ( clone->nb_polygons(), surface->nb_polygons() );
        EXPECT_EQ( clone->polygon_attribute_manager()
                       .find_attribute< int >( "kept" )
                       ->value( 3 ),
            33 );
        EXPECT_FALSE(
            clone->polygon_attribute_manager().attribute_exists( "dropped" ) );

        auto builder = TriangulatedSurfaceBuilder3D::create( *clone );
        builder->set_point( 0, Point3D{ { 5, 5, 5 } } );
        builder->delete_polygons(
            std::vector< bool >( clone->nb_polygons(), true ) );
        EXPECT_EQ( clone->nb_polygons(), 0 );
        EXPECT_EQ( clone->edges().nb_edges(), 0 );
        EXPECT_EQ( surface->nb_polygons(), 16 );
        EXPECT_EQ( surface->point( 0 ), ( Point3D{ { 0, 0, 0 } } ) );
        EXPECT_EQ( surface->edges().nb_edges(), 32 );
    }

    TEST( SurfaceMeshBuilder, non_manifold_edges_get_no_adjacency )
    {
        // Three triangles on the edge 0-1.
        auto surface = TriangulatedSurface3D::create();
        auto builder = TriangulatedSurfaceBuilder3D::create( *surface );
        builder->create_vertices( 5 );
        builder->create_triangle( { 0, 1, 2 } );
        builder->create_triangle( { 1, 0, 3 } );
        builder->create_triangle( { 1, 0, 4 } );
        builder->compute_polygon_adjacencies();
        for( index_t polygon = 0; polygon < 3; polygon++ )
        {
            for( local_index_t edge = 0; edge < 3; edge++ )
            {
                EXPECT_TRUE( surface->is_edge_on_border( { polygon, edge } ) );
            }
        }
        EXPECT_EQ( surface->edges().nb_edges(), 7 );
    }

    TEST( SurfaceMeshBuilder, only_opposite_runs_of_a_shared_edge_are_adjacent )
    {
        // Triangle (0, 1, 2) and a second triangle on the edge 0-1: running
        // it the other way they are adjacent, running it the same way (one
        // of them turned over) they are not, and both keep the edge as a
        // border edge.
        struct Case
        {
            std::string name;
            std::array< index_t, 3 > second;
            bool adjacent;
        };
        for( const auto& test_case : { Case{ "opposite", { 1, 0, 3 }, true },
                 Case{ "same_direction", { 0, 1, 3 }, false } } )
        {
            auto surface = TriangulatedSurface2D::create();
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            builder->create_point( Point2D{ { 0, 0 } } );
            builder->create_point( Point2D{ { 1, 0 } } );
            builder->create_point( Point2D{ { 0, 1 } } );
            builder->create_point( Point2D{ { 1, -1 } } );
            builder->create_triangle( { 0, 1, 2 } );
            builder->create_triangle( test_case.second );
            builder->compute_polygon_adjacencies();

            const auto across_first = surface->polygon_adjacent( { 0, 0 } );
            // Edge 0 of the second triangle is its side on 0-1 either way.
            const auto across_second = surface->polygon_adjacent( { 1, 0 } );
            EXPECT_EQ( across_first.has_value(), test_case.adjacent )
                << test_case.name;
            EXPECT_EQ( across_second.has_value(), test_case.adjacent )
                << test_case.name;
            EXPECT_EQ( surface->edges().nb_edges(), 5 ) << test_case.name;
            if( !test_case.adjacent )
            {
                // Every edge is a border edge and the walks stay inside
                // each triangle.
                for( index_t polygon = 0; polygon < 2; polygon++ )
                {
                    for( local_index_t edge = 0; edge < 3; edge++ )
                    {
                        EXPECT_TRUE(
                            surface->is_edge_on_border( { polygon, edge } ) );
                    }
                }
                EXPECT_EQ( surface->next_on_border( { 0, 0 } ),
                    ( PolygonEdge{ 0, 1 } ) );
                EXPECT_EQ( surface->polygons_around_vertex( 0 ).size(), 1 );
            }
            EXPECT_THAT(
                test::surface_inconsistencies( *surface ), testing::IsEmpty() )
                << test_case.name;
        }
    }

    TEST( SurfaceMeshBuilder, bad_adjacency_is_reported_not_walked_forever )
    {
        auto surface = test::closed_fan< 2 >();
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        // Triangle 0 (0, 1, 2) claims triangle 3 (0, 4, 5) across its edge
        // 1-2: triangle 3 does not hold vertex 1.
        builder->set_polygon_adjacent( { 0, 1 }, 3 );
        builder->set_polygon_around_vertex( 1, { 0, 1 } );
        EXPECT_THROW(
            static_cast< void >( surface->polygons_around_vertex( 1 ) ),
            TessarkDataException );
        // Triangles 1 (0, 2, 3) and 2 (0, 3, 4) point at each other across
        // their outgoing edges at vertex 0, and triangle 0 (0, 1, 2) into
        // that pair: the walk around 0 from triangle 0 loops without coming
        // back to its start.
        builder->compute_polygon_adjacencies();
        builder->set_polygon_adjacent( { 0, 0 }, 1 );
        builder->set_polygon_adjacent( { 1, 0 }, 2 );
        builder->set_polygon_adjacent( { 2, 0 }, 1 );
        builder->set_polygon_around_vertex( 0, { 0, 0 } );
        EXPECT_THROW(
            static_cast< void >( surface->polygons_around_vertex( 0 ) ),
            TessarkDataException );
        EXPECT_THROW(
            builder->set_polygon_adjacent( { 0, 0 }, 0 ), TessarkException );
        EXPECT_THROW( builder->set_polygon_around_vertex( 1, { 2, 0 } ),
            TessarkException );
    }

    TEST( PolygonalSurface, quadrangle_grid_walks_and_compacts )
    {
        auto surface = test::quad_grid< 2 >( 3, 2 );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
        EXPECT_EQ( surface->edges().nb_edges(), 3 * 3 + 4 * 2 );
        EXPECT_EQ( surface->polygons_around_vertex( 5 ).size(), 4 );
        EXPECT_EQ(
            surface->polygon_barycenter( 4 ), ( Point2D{ { 1.5, 1.5 } } ) );
        index_t border_length{ 0 };
        const PolygonEdge start{ 0, 0 };
        auto current = start;
        do
        {
            current = surface->next_on_border( current );
            border_length++;
        } while( current != start && border_length < 100 );
        EXPECT_EQ( border_length, 10 );

        // The middle column of quadrangles is replaced by one hexagon.
        auto builder = PolygonalSurfaceBuilder2D::create( *surface );
        builder->delete_polygons( { false, true, false, false, true, false } );
        // The column's inner edge and its two outer sides are gone.
        EXPECT_EQ( surface->edges().nb_edges(), 17 - 3 );
        const auto hexagon = builder->create_polygon(
            std::vector< index_t >{ 1, 2, 6, 10, 9, 5 } );
        builder->compute_polygon_adjacencies();
        const auto vertex_mapping = builder->delete_isolated_vertices();
        EXPECT_EQ(
            std::count( vertex_mapping.begin(), vertex_mapping.end(), NO_ID ),
            0 );
        EXPECT_EQ( surface->nb_vertices(), 12 );
        EXPECT_EQ( surface->edges().nb_edges(), 16 );
        EXPECT_EQ( hexagon, 4 );
        EXPECT_EQ( surface->nb_polygons(), 5 );
        EXPECT_EQ( surface->nb_polygon_vertices( hexagon ), 6 );
        EXPECT_THAT( surface->polygon_vertices( 1 ),
            testing::ElementsAre( 2, 3, 7, 6 ) );
        EXPECT_EQ( surface->polygon_adjacent( { 1, 3 } ), hexagon );
        EXPECT_THAT(
            test::surface_inconsistencies( *surface ), testing::IsEmpty() );
    }

    TEST( TriangulatedSurface, large_grid_builds_and_compacts )
    {
        constexpr index_t SIZE = 224;
        auto surface = test::grid_surface< 3 >( SIZE, SIZE );
        EXPECT_EQ( surface->nb_polygons(), 2 * SIZE * SIZE );
        EXPECT_EQ( surface->nb_vertices(), ( SIZE + 1 ) * ( SIZE + 1 ) );
        EXPECT_EQ( surface->edges().nb_edges(),
            2 * SIZE * ( SIZE + 1 ) + SIZE * SIZE );
        index_t nb_corners{ 0 };
        index_t nb_border_vertices{ 0 };
        for( index_t vertex = 0; vertex < surface->nb_vertices(); vertex++ )
        {
            nb_corners += surface->polygons_around_vertex( vertex ).size();
            nb_border_vertices +=
                surface->is_vertex_on_border( vertex ) ? 1 : 0;
        }
        EXPECT_EQ( nb_corners, 3 * surface->nb_polygons() );
        EXPECT_EQ( nb_border_vertices, 4 * SIZE );

        auto builder = TriangulatedSurfaceBuilder3D::create( *surface );
        std::vector< bool > to_delete( surface->nb_polygons(), false );
        for( index_t polygon = 0; polygon < surface->nb_polygons();
             polygon += 2 )
        {
            to_delete[polygon] = true;
        }
        builder->delete_polygons( to_delete );
        EXPECT_EQ( surface->nb_polygons(), SIZE * SIZE );
        EXPECT_EQ( surface->edges().nb_edges(), 3 * SIZE * SIZE );
        EXPECT_EQ( builder->delete_isolated_vertices().size(),
            ( SIZE + 1 ) * ( SIZE + 1 ) );
        // Only the corner (SIZE, 0) was used by deleted triangles alone.
        EXPECT_EQ( surface->nb_vertices(), ( SIZE + 1 ) * ( SIZE + 1 ) - 1 );
    }

    namespace
    {
        // The vertices of every polygon, one after the other.
        template < index_t D >
        std::vector< index_t > flat_polygons( const SurfaceMesh< D >& surface )
        {
            std::vector< index_t > vertices;
            for( index_t polygon = 0; polygon < surface.nb_polygons();
                 polygon++ )
            {
                for( const auto vertex : surface.polygon_vertices( polygon ) )
                {
                    vertices.push_back( vertex );
                }
            }
            return vertices;
        }

        // Everything the numbering decides: corners, their unique edges,
        // edge ends, vertex links and adjacency.
        template < index_t D >
        void expect_same_surface(
            const SurfaceMesh< D >& actual, const SurfaceMesh< D >& expected )
        {
            ASSERT_EQ( actual.nb_polygons(), expected.nb_polygons() );
            ASSERT_EQ( actual.edges().nb_edges(), expected.edges().nb_edges() );
            EXPECT_EQ(
                actual.polygon_attribute_manager().nb_elements(),
                expected.nb_polygons() );
            EXPECT_EQ( actual.edges().edge_attribute_manager().nb_elements(),
                expected.edges().nb_edges() );
            for( index_t edge = 0; edge < expected.edges().nb_edges(); edge++ )
            {
                EXPECT_EQ( actual.edges().edge_vertices( edge ),
                    expected.edges().edge_vertices( edge ) );
            }
            for( index_t polygon = 0; polygon < expected.nb_polygons();
                 polygon++ )
            {
                EXPECT_EQ( actual.polygon_vertices( polygon ),
                    expected.polygon_vertices( polygon ) );
                for( local_index_t edge = 0;
                     edge < expected.nb_polygon_vertices( polygon ); edge++ )
                {
                    EXPECT_EQ( actual.polygon_edge( { polygon, edge } ),
                        expected.polygon_edge( { polygon, edge } ) );
                    EXPECT_EQ( actual.polygon_adjacent( { polygon, edge } ),
                        expected.polygon_adjacent( { polygon, edge } ) );
                }
            }
            for( index_t vertex = 0; vertex < expected.nb_vertices(); vertex++ )
            {
                EXPECT_EQ( actual.polygon_around_vertex( vertex ),
                    expected.polygon_around_vertex( vertex ) );
            }
        }

        // The triangles created one create_polygon call after the other.
        template < index_t D >
        std::unique_ptr< TriangulatedSurface< D > > one_at_a_time(
            absl::Span< const index_t > vertices, index_t nb_vertices )
        {
            auto surface = TriangulatedSurface< D >::create();
            auto builder = TriangulatedSurfaceBuilder< D >::create( *surface );
            builder->create_vertices( nb_vertices );
            for( std::size_t corner = 0; corner < vertices.size(); corner += 3 )
            {
                builder->create_polygon( vertices.subspan( corner, 3 ) );
            }
            return surface;
        }
    } // namespace

    TEST( SurfaceBulkCreation, numbers_as_one_polygon_at_a_time )
    {
        const auto grid = test::grid_surface< 2 >( 7, 5 );
        const auto vertices = flat_polygons( *grid );
        const auto single =
            one_at_a_time< 2 >( vertices, grid->nb_vertices() );
        // Bulk creation in three pieces, each onto the polygons before.
        auto bulk = TriangulatedSurface2D::create();
        auto builder = TriangulatedSurfaceBuilder2D::create( *bulk );
        builder->create_vertices( grid->nb_vertices() );
        const auto all = absl::MakeConstSpan( vertices );
        EXPECT_EQ( builder->create_polygons( all.first( 3 * 17 ), 3 ), 0 );
        EXPECT_EQ( builder->create_polygons( all.subspan( 3 * 17, 6 ), 3 ), 17 );
        EXPECT_EQ(
            builder->create_polygons( all.subspan( 3 * 19 ), 3 ), 19 );
        EXPECT_EQ( builder->create_polygons( {}, 3 ), grid->nb_polygons() );
        expect_same_surface( *bulk, *single );
        builder->compute_polygon_adjacencies();
        expect_same_surface( *bulk, *grid );
        EXPECT_THAT(
            test::surface_inconsistencies( *bulk ), testing::IsEmpty() );
    }

    TEST( SurfaceBulkCreation, numbers_shared_and_repeated_edges_in_order )
    {
        // Three triangles on edge 0-1 (non-manifold), two running edge 2-3
        // the same way, a triangle reusing an edge of the first in reverse.
        const std::vector< index_t > vertices{ 0, 1, 2, 1, 0, 3, 0, 1, 4, 2,
            3, 5, 2, 3, 4, 2, 1, 0 };
        const auto single = one_at_a_time< 3 >( vertices, 6 );
        TriangulatedSurfaceBuilder3D::create( *single )
            ->compute_polygon_adjacencies();
        auto bulk = TriangulatedSurface3D::create();
        auto builder = TriangulatedSurfaceBuilder3D::create( *bulk );
        builder->create_vertices( 6 );
        builder->create_polygons( vertices, 3 );
        builder->compute_polygon_adjacencies();
        expect_same_surface( *bulk, *single );
    }

    TEST( SurfaceBulkCreation, quadrangles_of_a_polygonal_surface )
    {
        const auto grid = test::quad_grid< 3 >( 4, 3 );
        const auto vertices = flat_polygons( *grid );
        auto bulk = PolygonalSurface3D::create();
        auto builder = PolygonalSurfaceBuilder3D::create( *bulk );
        builder->create_vertices( grid->nb_vertices() );
        const std::vector< index_t > triangle{ 0, 1, 5 };
        builder->create_polygon( triangle );
        EXPECT_EQ( builder->create_polygons( vertices, 4 ), 1 );
        EXPECT_EQ( bulk->nb_polygons(), grid->nb_polygons() + 1 );
        for( index_t polygon = 0; polygon < grid->nb_polygons(); polygon++ )
        {
            EXPECT_EQ( bulk->polygon_vertices( polygon + 1 ),
                grid->polygon_vertices( polygon ) );
        }
        builder->compute_polygon_adjacencies();
        EXPECT_THAT(
            test::surface_inconsistencies( *bulk ), testing::IsEmpty() );
    }

    TEST( SurfaceBulkCreation, refuses_bad_polygons_creating_nothing )
    {
        struct Case
        {
            std::vector< index_t > vertices;
            local_index_t polygon_size;
            std::string message;
        };
        const std::vector< Case > cases{
            { { 0, 1, 2, 3 }, 4, "have 3 vertices, 4 given in polygon 0" },
            { { 0, 1, 2, 3 }, 2, "3 to 254 vertices, 2 given" },
            { { 0, 1, 2, 3 }, 3, "4 vertices do not make polygons of 3" },
            { { 0, 1, 2, 0, 1, 9 }, 3,
                "Vertex 9 does not exist (4 vertices) in polygon 1 of the 2" },
            { { 0, 1, 2, 3, 1, 3 }, 3,
                "Vertex 3 given twice (local indices 0 and 2) in polygon 1" },
        };
        for( const auto& bad : cases )
        {
            SCOPED_TRACE( bad.message );
            auto surface = TriangulatedSurface2D::create();
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            builder->create_vertices( 4 );
            builder->create_triangle( { 0, 1, 2 } );
            EXPECT_THAT( error_message(
                             [&]
                             {
                                 builder->create_polygons(
                                     bad.vertices, bad.polygon_size );
                             } ),
                testing::HasSubstr( bad.message ) );
            EXPECT_EQ( surface->nb_polygons(), 1 );
            EXPECT_EQ( surface->edges().nb_edges(), 3 );
            EXPECT_EQ( surface->polygon_attribute_manager().nb_elements(), 1 );
        }
    }

    TEST( SurfaceBulkCreation, refuses_more_corners_than_indices_can_number )
    {
        auto surface = TriangulatedSurface2D::create();
        auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
        builder->create_vertices( 3 );
        builder->create_triangle( { 0, 1, 2 } );
        // The count is refused before any vertex is read: the span only
        // claims its size.
        const std::vector< index_t > storage{ 0, 1, 2 };
        const absl::Span< const index_t > huge( storage.data(), 3 * 1431655765u );
        EXPECT_THAT( error_message(
                         [&]
                         {
                             builder->create_polygons( huge, 3 );
                         } ),
            testing::HasSubstr( "Too many polygon vertices: 3 + 4294967295" ) );
        EXPECT_EQ( surface->nb_polygons(), 1 );
    }
} // namespace brevane
