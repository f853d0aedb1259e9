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
    } // namespace

    TEST( SurfaceBulkCreation, numbers_as_one_polygon_at_a_time )
    {
        const auto grid = test::grid_surface< 2 >( 7, 5 );
        const auto vertices = flat_polygons( *grid );
        auto single = TriangulatedSurface2D::create();
        auto single_builder = TriangulatedSurfaceBuilder2D::create( *single );
        single_builder->create_vertices( grid->nb_vertices() );
        for( std::size_t corner = 0; corner < vertices.size(); corner += 3 )
        {
            single_builder->create_polygon(
                absl::MakeConstSpan( vertices ).subspan( corner, 3 ) );
        }
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
        auto single = TriangulatedSurface3D::create();
        auto single_builder = TriangulatedSurfaceBuilder3D::create( *single );
        single_builder->create_vertices( 6 );
        for( std::size_t corner = 0; corner < vertices.size(); corner += 3 )
        {
            single_builder->create_polygon(
                absl::MakeConstSpan( vertices ).subspan( corner, 3 ) );
        }
        single_builder->compute_polygon_adjacencies();
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
