#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <halven/background/background_surface_constraint_modifier.h>
#include <halven/background/background_surface_library.h>

#include "background_checks.h"
#include "background_fixture.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    namespace
    {
        using testing::IsEmpty;
        using testing::UnorderedElementsAre;

        std::unique_ptr< test::BackgroundFixture > grid_fixture(
            index_t nb_x, index_t nb_y )
        {
            return std::make_unique< test::BackgroundFixture >(
                brevane::test::grid_surface< 2 >( nb_x, nb_y ) );
        }

        PolygonEdge polygon_edge_of(
            const TriangulatedSurface2D& surface, index_t v0, index_t v1 )
        {
            const auto edge = surface.polygon_edge_from_vertices( v0, v1 );
            EXPECT_TRUE( edge.has_value() ) << v0 << " -> " << v1;
            return edge.value_or( PolygonEdge{} );
        }

        index_t edge_of( const TriangulatedSurface2D& surface, index_t v0, index_t v1 )
        {
            return surface.edges().edge_from_vertices( { v0, v1 } ).value_or( NO_ID );
        }

        void expect_valid( const test::BackgroundFixture& fixture, double area )
        {
            EXPECT_THAT( test::background_problems(
                             *fixture.background, fixture.modifier.get() ),
                IsEmpty() );
            EXPECT_NEAR(
                test::live_area( *fixture.background, fixture.modifier.get() ),
                area, 1e-9 );
        }
    } // namespace

    TEST( BackgroundOperations, flip_replaces_the_diagonal_and_merges_records )
    {
        auto fixture = grid_fixture( 1, 1 );
        auto& modifier = *fixture->modifier;
        const auto& surface = fixture->mesh();
        const auto diagonal = polygon_edge_of( surface, 0, 3 );
        const auto old_edge = edge_of( surface, 0, 3 );
        ASSERT_TRUE( modifier.is_flip_edge_valid( diagonal ) );
        EXPECT_FALSE( modifier.is_flip_edge_valid( polygon_edge_of( surface, 0, 1 ) ) );

        const auto flipped = modifier.flip_edge( diagonal );

        const auto ends = surface.polygon_edge_vertices( flipped );
        EXPECT_THAT( ends, UnorderedElementsAre( 1, 2 ) );
        EXPECT_FALSE( modifier.is_edge_active( old_edge ) );
        EXPECT_TRUE( modifier.is_edge_active( edge_of( surface, 1, 2 ) ) );
        for( index_t polygon = 0; polygon < 2; polygon++ )
        {
            EXPECT_THAT( fixture->background->macro_elements( polygon ),
                UnorderedElementsAre( MeshElement{ fixture->top, 0 },
                    MeshElement{ fixture->top, 1 } ) );
        }
        expect_valid( *fixture, 1 );

        // Flipping back revives the old edge without stale records.
        fixture->background_builder->add_macro_edge_info( { uuid{}, 0 }, { old_edge } );
        fixture->background_builder->remove_macro_edge_info(
            fixture->background->macro_edges( old_edge ).front(), old_edge );
        modifier.flip_edge( flipped );
        EXPECT_TRUE( modifier.is_edge_active( old_edge ) );
        expect_valid( *fixture, 1 );
        const auto mappings = modifier.clean();
        EXPECT_EQ( surface.edges().nb_edges(), 5 );
        EXPECT_EQ( mappings.edges.size(), 6 );
        expect_valid( *fixture, 1 );
    }

    TEST( BackgroundOperations, flips_are_refused_on_chains_and_reflex_quadrilaterals )
    {
        auto fixture = grid_fixture( 2, 2 );
        auto& modifier = *fixture->modifier;
        const auto& surface = fixture->mesh();
        // The quadrilateral around edge 1 - 4 degenerates at 4 once 4 moves
        // to the line from 0 to 5.
        const auto edge = polygon_edge_of( surface, 1, 4 );
        EXPECT_TRUE( modifier.is_flip_edge_valid( edge ) );
        modifier.move_vertex( 4, Point2D{ { 1.6, 0.8 } } );
        EXPECT_FALSE( modifier.is_flip_edge_valid( polygon_edge_of( surface, 1, 4 ) ) );
        expect_valid( *fixture, 4 );

        const auto diagonal = polygon_edge_of( surface, 4, 8 );
        EXPECT_TRUE( modifier.is_flip_edge_valid( diagonal ) );
        fixture->background_builder->add_macro_edge_info(
            { uuid{}, 3 }, { edge_of( surface, 4, 8 ) } );
        EXPECT_FALSE( modifier.is_flip_edge_valid( diagonal ) );
        EXPECT_THROW( modifier.flip_edge( diagonal ), TessarkException );
    }

    TEST( BackgroundOperations, moves_keep_every_triangle_positive )
    {
        auto fixture = grid_fixture( 2, 2 );
        auto& modifier = *fixture->modifier;
        const double z = fixture->height( 4 );
        EXPECT_TRUE( modifier.is_move_vertex_valid( 4, Point2D{ { 1.4, 0.7 } } ) );
        // Past the edge 1 - 5: triangle (1, 5, 4) would flip.
        EXPECT_FALSE( modifier.is_move_vertex_valid( 4, Point2D{ { 1.9, 0.5 } } ) );
        EXPECT_FALSE( modifier.is_move_vertex_valid( 1, Point2D{ { 1, 0.1 } } ) );
        EXPECT_THROW( modifier.move_vertex( 4, Point2D{ { 1.9, 0.5 } } ), TessarkException );
        modifier.move_vertex( 4, Point2D{ { 1.4, 0.7 } } );
        EXPECT_TRUE( fixture->mesh().point( 4 ).inexact_equal( Point2D{ { 1.4, 0.7 } } ) );
        EXPECT_EQ( fixture->height( 4 ), z );
        expect_valid( *fixture, 4 );

        fixture->background_builder->add_macro_edge_info(
            { uuid{}, 0 }, { edge_of( fixture->mesh(), 3, 4 ) } );
        EXPECT_FALSE( modifier.is_move_vertex_valid( 4, Point2D{ { 1.2, 0.9 } } ) );
        auto other = grid_fixture( 2, 2 );
        other->background_builder->add_macro_vertex_info( { uuid{}, 0 }, 4 );
        EXPECT_FALSE( other->modifier->is_move_vertex_valid( 4, Point2D{ { 1.2, 0.9 } } ) );
    }

    TEST( BackgroundOperations, merged_vertices_follow_their_survivor_through_cleans )
    {
        auto fixture = grid_fixture( 3, 3 );
        auto& modifier = *fixture->modifier;
        const auto& surface = fixture->mesh();
        // Inner vertices (1, 1) = 5, (2, 1) = 6 and (2, 2) = 10.
        modifier.collapse_edge( 5, 6 );
        ASSERT_TRUE( modifier.is_collapse_edge_valid( 6, 10 ) );
        modifier.collapse_edge( 6, 10 );
        EXPECT_EQ( modifier.updated_vertex( 5 ), 10 );
        EXPECT_EQ( modifier.updated_vertex( 6 ), 10 );
        EXPECT_EQ( modifier.updated_vertex( 10 ), 10 );
        expect_valid( *fixture, 9 );

        const auto mappings = modifier.clean();
        EXPECT_EQ( mappings.vertices[10], 8 );
        EXPECT_EQ( modifier.updated_vertex( 5 ), 8 );
        EXPECT_EQ( modifier.updated_vertex( 15 ), 13 );
        EXPECT_EQ( modifier.updated_vertex( 16 ), std::nullopt );
        expect_valid( *fixture, 9 );

        // Vertices created after a clean are not in the original numbering;
        // the survivor keeps being followed.
        const auto created = modifier.split_triangle( 0, surface.polygon_barycenter( 0 ) );
        EXPECT_EQ( created, 14 );
        EXPECT_EQ( modifier.updated_vertex( created ), 12 );
        index_t target{ NO_ID };
        for( const auto neighbour : surface.vertices_around_vertex( 8 ) )
        {
            if( modifier.is_collapse_edge_valid( 8, neighbour ) )
            {
                target = neighbour;
                break;
            }
        }
        ASSERT_NE( target, NO_ID );
        modifier.collapse_edge( 8, target );
        EXPECT_EQ( modifier.updated_vertex( 5 ), target );
        const auto second = modifier.clean();
        EXPECT_EQ( modifier.updated_vertex( 6 ), second.vertices[target] );
        EXPECT_EQ( modifier.updated_vertex( 0 ), 0 );
        expect_valid( *fixture, 9 );
    }

    TEST( BackgroundOperations, constraint_modifier_applies_for_its_lifetime )
    {
        BackgroundSurfaceLibrary::initialize();
        auto fixture = grid_fixture( 2, 2 );
        auto& modifier = *fixture->modifier;
        const auto border = polygon_edge_of( fixture->mesh(), 0, 1 );
        const Point2D middle{ { 0.5, 0 } };
        EXPECT_EQ( modifier.constraints().border_constraint, 2 );
        {
            BackgroundSurfaceConstraintModifier constrained{ { *fixture->background, modifier },
                *fixture->background_builder, ConstraintModifier::CommonConstraints{ 3 } };
            EXPECT_TRUE( constrained.constraints().border_edges_fixed() );
            EXPECT_TRUE( constrained.constraints().border_vertices_fixed() );
            auto [surface, surface_modifier] = constrained.modifiable_surface();
            EXPECT_EQ( &surface, &fixture->mesh() );
            EXPECT_FALSE( surface_modifier.is_split_edge_valid( border, middle ) );
            EXPECT_EQ( &constrained.modifiable_background().second, &modifier );
            EXPECT_FALSE( modifier.is_split_edge_valid( border, middle ) );
        }
        EXPECT_TRUE( modifier.is_split_edge_valid( border, middle ) );
        EXPECT_THROW( ConstraintModifier::CommonConstraints{ 4 }, TessarkException );
        EXPECT_THROW( ConstraintModifier::CommonConstraints{ -1 }, TessarkException );
    }

    TEST( BackgroundOperations, records_are_kept_once_and_listed_around_vertices )
    {
        auto fixture = grid_fixture( 2, 2 );
        auto& records = *fixture->background_builder;
        const auto& background = *fixture->background;
        const uuid line;
        records.add_macro_vertex_info( { line, 1 }, 4 );
        records.add_macro_vertex_info( { line, 1 }, 4 );
        EXPECT_THAT( background.macro_vertices( 4 ), UnorderedElementsAre( MeshVertex{ line, 1 } ) );
        records.remove_macro_vertex_info( { line, 1 }, 4 );
        records.remove_macro_vertex_info( { line, 1 }, 4 );
        EXPECT_THAT( background.macro_vertices( 4 ), IsEmpty() );
        const auto first = edge_of( fixture->mesh(), 3, 4 );
        const auto second = edge_of( fixture->mesh(), 4, 5 );
        records.add_macro_edge_info( { line, 0 }, { first, second, first } );
        records.add_macro_edge_info( { line, 1 }, { second } );
        EXPECT_THAT( background.macro_edges( first ), UnorderedElementsAre( MeshEdge{ line, 0 } ) );
        EXPECT_THAT( background.incident_macro_edges( 4 ),
            UnorderedElementsAre( MeshEdge{ line, 0 }, MeshEdge{ line, 0 }, MeshEdge{ line, 1 } ) );
        EXPECT_THAT( background.incident_macro_edges( 0 ), IsEmpty() );
        EXPECT_THROW( records.add_macro_edge_info( { line, 0 }, { 1000 } ), TessarkException );
        EXPECT_THROW( static_cast< void >( background.macro_vertices( 1000 ) ), TessarkException );
        EXPECT_THROW( records.add_macro_element_info( { line, 0 }, 1000 ), TessarkException );

        // The records follow a move of the background surface.
        BackgroundSurface moved{ std::move( *fixture->background ) };
        EXPECT_THAT( moved.macro_edges( second ),
            UnorderedElementsAre( MeshEdge{ line, 0 }, MeshEdge{ line, 1 } ) );
        BackgroundSurface again{ fixture->mesh() };
        EXPECT_THAT( again.macro_edges( second ), testing::SizeIs( 2 ) );
    }
} // namespace brevane::internal
