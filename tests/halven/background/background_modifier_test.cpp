#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

        // Vertex (i, j) of a grid of nb_x squares per row.
        index_t grid_vertex( index_t nb_x, index_t i, index_t j )
        {
            return j * ( nb_x + 1 ) + i;
        }

        index_t edge_of( const TriangulatedSurface2D& surface, index_t v0, index_t v1 )
        {
            const auto edge = surface.edges().edge_from_vertices( { v0, v1 } );
            EXPECT_TRUE( edge.has_value() ) << v0 << " " << v1;
            return edge.value_or( NO_ID );
        }

        PolygonEdge polygon_edge_of(
            const TriangulatedSurface2D& surface, index_t v0, index_t v1 )
        {
            const auto edge = surface.polygon_edge_from_vertices( v0, v1 );
            EXPECT_TRUE( edge.has_value() ) << v0 << " -> " << v1;
            return edge.value_or( PolygonEdge{} );
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

        // The 2 x 2 grid with its border vertex (2, 1) pulled inwards to
        // (1.1, 1): the ring around the centre has a reflex corner there.
        std::unique_ptr< test::BackgroundFixture > dented_grid()
        {
            auto surface = brevane::test::grid_surface< 2 >( 2, 2 );
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            builder->set_point( 5, Point2D{ { 1.1, 1 } } );
            return std::make_unique< test::BackgroundFixture >(
                std::move( surface ) );
        }

        // Vertex 3 (M) inside the triangle 0 (T), 1 (F), 2 (X), all inside
        // the outer triangle 4, 5, 6: F and T share the neighbour X without
        // the triangle F, T, X existing.
        std::unique_ptr< test::BackgroundFixture > separating_triangle()
        {
            return std::make_unique< test::BackgroundFixture >(
                test::make_triangulation(
                    { Point2D{ { 0, 0 } }, Point2D{ { 2, 0 } },
                        Point2D{ { 1, 2 } }, Point2D{ { 1, 0.6 } },
                        Point2D{ { -3, -3 } }, Point2D{ { 5, -3 } },
                        Point2D{ { 1, 5 } } },
                    { { 0, 1, 3 }, { 1, 2, 3 }, { 2, 0, 3 }, { 4, 5, 1 },
                        { 4, 1, 0 }, { 5, 6, 1 }, { 1, 6, 2 }, { 6, 4, 2 },
                        { 2, 4, 0 } } ) );
        }
    } // namespace

    TEST( BackgroundModifier, inner_edge_split_passes_records_and_attributes )
    {
        auto fixture = grid_fixture( 2, 2 );
        const auto& surface = fixture->mesh();
        const auto& modifier = *fixture->modifier;
        const auto a = grid_vertex( 2, 0, 0 );
        const auto b = grid_vertex( 2, 1, 1 );
        const auto edge = polygon_edge_of( surface, a, b );
        const uuid line;
        fixture->background_builder->add_macro_edge_info(
            { line, 7 }, { edge_of( surface, a, b ) } );
        const auto old_edge = edge_of( surface, a, b );
        const auto first = edge.polygon_id;
        const auto second = *surface.polygon_adjacent( edge );
        fixture->background_builder->add_macro_element_info(
            { line, 1 }, second );

        const auto info = fixture->modifier->split_edge( edge, Point2D{ { 0.5, 0.5 } } );

        ASSERT_EQ( info.new_polygons.size(), 2 );
        EXPECT_EQ( surface.nb_polygons(), 10 );
        EXPECT_TRUE( surface.point( info.vertex ).inexact_equal( Point2D{ { 0.5, 0.5 } } ) );
        EXPECT_DOUBLE_EQ( fixture->height( info.vertex ), test::height_at( Point2D{ { 0.5, 0.5 } } ) );
        EXPECT_FALSE( modifier.is_edge_active( old_edge ) );
        EXPECT_THAT( fixture->background->macro_edges( old_edge ), IsEmpty() );
        for( const auto end : { a, b } )
        {
            EXPECT_THAT( fixture->background->macro_edges(
                             edge_of( surface, end, info.vertex ) ),
                UnorderedElementsAre( MeshEdge{ line, 7 } ) );
        }
        EXPECT_THAT( fixture->background->macro_elements( info.new_polygons[0] ),
            UnorderedElementsAre( MeshElement{ fixture->top, first } ) );
        EXPECT_THAT( fixture->background->macro_elements( info.new_polygons[1] ),
            UnorderedElementsAre( MeshElement{ fixture->top, second },
                MeshElement{ line, 1 } ) );
        EXPECT_THAT( fixture->surface_ids( info.new_polygons[1] ),
            UnorderedElementsAre( fixture->top ) );
        EXPECT_EQ( fixture->background->incident_macro_edges( info.vertex ).size(), 2 );
        expect_valid( *fixture, 4 );
    }

    TEST( BackgroundModifier, border_edge_split_creates_one_triangle )
    {
        auto fixture = grid_fixture( 2, 2 );
        const auto& surface = fixture->mesh();
        const auto edge = polygon_edge_of( surface, 0, 1 );
        const auto info = fixture->modifier->split_edge( edge, Point2D{ { 0.25, 0 } } );
        EXPECT_EQ( info.new_polygons.size(), 1 );
        EXPECT_TRUE( surface.is_vertex_on_border( info.vertex ) );
        EXPECT_DOUBLE_EQ( fixture->height( info.vertex ), test::height_at( Point2D{ { 0.25, 0 } } ) );
        expect_valid( *fixture, 4 );

        fixture->modifier->set_constraints( ConstraintModifier::CommonConstraints{ 1 } );
        const auto next = polygon_edge_of( surface, 1, 2 );
        EXPECT_FALSE( fixture->modifier->is_split_edge_valid( next, Point2D{ { 1.5, 0 } } ) );
        EXPECT_THROW( fixture->modifier->split_edge( next, Point2D{ { 1.5, 0 } } ),
            TessarkException );
    }

    TEST( BackgroundModifier, split_off_the_edge_line_is_refused )
    {
        auto fixture = grid_fixture( 1, 1 );
        const auto edge = polygon_edge_of( fixture->mesh(), 0, 3 );
        // Beyond the opposite vertex of one triangle: that half would flip.
        EXPECT_FALSE( fixture->modifier->is_split_edge_valid( edge, Point2D{ { 1.5, 0.5 } } ) );
        EXPECT_TRUE( fixture->modifier->is_split_edge_valid( edge, Point2D{ { 0.5, 0.5 } } ) );
    }

    TEST( BackgroundModifier, triangle_split_interpolates_and_copies )
    {
        auto fixture = grid_fixture( 2, 2 );
        const auto& surface = fixture->mesh();
        const Point2D inside{ { 0.7, 0.2 } };
        EXPECT_FALSE( fixture->modifier->is_split_triangle_valid( 0, Point2D{ { 0.2, 0.7 } } ) );
        EXPECT_FALSE( fixture->modifier->is_split_triangle_valid( 0, Point2D{ { 0.5, 0.5 } } ) );
        const auto vertex = fixture->modifier->split_triangle( 0, inside );
        EXPECT_EQ( surface.nb_polygons(), 10 );
        EXPECT_NEAR( fixture->height( vertex ), test::height_at( inside ), 1e-12 );
        for( index_t polygon = 8; polygon < 10; polygon++ )
        {
            EXPECT_THAT( fixture->background->macro_elements( polygon ),
                UnorderedElementsAre( MeshElement{ fixture->top, 0 } ) );
            EXPECT_THAT( fixture->surface_ids( polygon ),
                UnorderedElementsAre( fixture->top ) );
        }
        EXPECT_EQ( surface.vertices_around_vertex( vertex ).size(), 3 );
        expect_valid( *fixture, 4 );
    }

    TEST( BackgroundModifier, collapse_merges_the_star_and_clean_compacts )
    {
        auto fixture = grid_fixture( 2, 2 );
        const auto& surface = fixture->mesh();
        auto& modifier = *fixture->modifier;
        const index_t centre = 4;
        const index_t target = 0;
        const uuid line;
        // A chain 3 - 4 - 0 through the centre: the collapse runs along it.
        fixture->background_builder->add_macro_edge_info(
            { line, 0 }, { edge_of( surface, 3, 4 ), edge_of( surface, 4, 0 ) } );
        fixture->background_builder->add_macro_vertex_info( { line, 5 }, 8 );
        ASSERT_TRUE( modifier.is_collapse_edge_valid( centre, target ) );

        EXPECT_EQ( modifier.collapse_edge( centre, target ), target );

        EXPECT_TRUE( modifier.is_vertex_deleted( centre ) );
        EXPECT_EQ( modifier.updated_vertex( centre ), target );
        EXPECT_THAT( fixture->background->macro_edges( edge_of( surface, 3, 0 ) ),
            UnorderedElementsAre( MeshEdge{ line, 0 } ) );
        expect_valid( *fixture, 4 );
        EXPECT_THAT( surface.vertices_around_vertex( target ),
            UnorderedElementsAre( 1, 3, 5, 7, 8 ) );
        // Every changed triangle covers part of the old star: it gets the
        // records of its six triangles.
        index_t nb_changed{ 0 };
        for( const auto& corner : surface.polygons_around_vertex( target ) )
        {
            if( fixture->background->macro_elements( corner.polygon_id ).size() == 6 )
            {
                nb_changed++;
            }
        }
        EXPECT_EQ( nb_changed, 4 );

        const auto mappings = modifier.clean();
        EXPECT_EQ( surface.nb_vertices(), 8 );
        EXPECT_EQ( surface.nb_polygons(), 6 );
        EXPECT_EQ( mappings.vertices[centre], NO_ID );
        EXPECT_EQ( mappings.vertices[8], 7 );
        EXPECT_EQ( mappings.polygons.size(), 8 );
        EXPECT_EQ( std::count( mappings.polygons.begin(), mappings.polygons.end(), NO_ID ), 2 );
        EXPECT_EQ( surface.edges().nb_edges(), 13 );
        EXPECT_THAT( fixture->background->macro_vertices( 7 ),
            UnorderedElementsAre( MeshVertex{ line, 5 } ) );
        EXPECT_EQ( modifier.updated_vertex( centre ), target );
        EXPECT_EQ( modifier.updated_vertex( 8 ), 7 );
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            EXPECT_DOUBLE_EQ( fixture->height( vertex ), test::height_at( surface.point( vertex ) ) );
        }
        EXPECT_THAT( fixture->background->macro_edges( edge_of( surface, 0, 3 ) ),
            UnorderedElementsAre( MeshEdge{ line, 0 } ) );
        expect_valid( *fixture, 4 );
    }

    struct RefusedCollapse
    {
        std::string name;
        std::function< std::unique_ptr< test::BackgroundFixture >() > make;
        index_t from;
        index_t to;
        // A valid collapse on the same fixture, when there is one, to show
        // that the refusal is not the fixture's fault.
        std::optional< std::pair< index_t, index_t > > valid;
    };

    // Names the case in test listings, instead of a dump of its bytes.
    inline void PrintTo( const RefusedCollapse& test_case, std::ostream* out )
    {
        *out << test_case.name;
    }

    class RefusedCollapses : public testing::TestWithParam< RefusedCollapse >
    {
    };

    TEST_P( RefusedCollapses, are_refused_and_throw )
    {
        const auto& param = GetParam();
        auto fixture = param.make();
        auto& modifier = *fixture->modifier;
        EXPECT_FALSE( modifier.is_collapse_edge_valid( param.from, param.to ) );
        EXPECT_THROW( modifier.collapse_edge( param.from, param.to ), TessarkException );
        if( param.valid )
        {
            EXPECT_TRUE( modifier.is_collapse_edge_valid(
                param.valid->first, param.valid->second ) );
        }
        EXPECT_THAT( test::background_problems( *fixture->background, &modifier ),
            IsEmpty() );
    }

    std::unique_ptr< test::BackgroundFixture > chained_grid(
        const std::vector< std::array< index_t, 3 > >& chains )
    {
        auto fixture = grid_fixture( 2, 2 );
        std::vector< uuid > lines( 3 );
        for( const auto& [v0, v1, line] : chains )
        {
            fixture->background_builder->add_macro_edge_info( { lines[line], 0 },
                { edge_of( fixture->mesh(), v0, v1 ) } );
        }
        return fixture;
    }

    INSTANTIATE_TEST_SUITE_P( BackgroundModifier, RefusedCollapses,
        testing::Values(
            RefusedCollapse{ "triangle_flip", dented_grid, 4, 8, { { 4, 3 } } },
            RefusedCollapse{ "link_condition", separating_triangle, 1, 0, { { 3, 0 } } },
            RefusedCollapse{ "border_vertex", [] { return grid_fixture( 2, 2 ); }, 1, 4, { { 4, 1 } } },
            RefusedCollapse{ "not_neighbours", [] { return grid_fixture( 2, 2 ); }, 4, 2, { { 4, 1 } } },
            RefusedCollapse{ "macro_vertex",
                [] {
                    auto fixture = grid_fixture( 2, 2 );
                    fixture->background_builder->add_macro_vertex_info( { uuid{}, 0 }, 4 );
                    return fixture;
                },
                4, 0, std::nullopt },
            RefusedCollapse{ "off_the_chain",
                [] { return chained_grid( { { 3, 4, 0 }, { 4, 5, 0 } } ); }, 4, 0, { { 4, 3 } } },
            RefusedCollapse{ "junction_of_three",
                [] { return chained_grid( { { 3, 4, 0 }, { 4, 5, 0 }, { 4, 7, 0 } } ); },
                4, 3, std::nullopt },
            RefusedCollapse{ "chains_of_two_meshes",
                [] { return chained_grid( { { 3, 4, 0 }, { 4, 5, 1 } } ); }, 4, 3, std::nullopt } ),
        []( const testing::TestParamInfo< RefusedCollapse >& info ) {
            return info.param.name;
        } );
} // namespace brevane::internal
