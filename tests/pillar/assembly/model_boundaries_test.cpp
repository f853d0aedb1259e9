#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/triangulated_surface.h>

#include "assembly/model_boundaries.h"
#include "assembly/unique_vertices.h"
#include "pillar/assembly/strip_model.h"

namespace brevane
{
    namespace
    {
        using Polygon = std::vector< Point3D >;

        // The points of every polygon of the surface's mesh, in mesh order.
        std::vector< Polygon > polygons_of(
            const BRep& model, const uuid& surface )
        {
            const auto& mesh = model.surface( surface ).mesh();
            std::vector< Polygon > polygons;
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                auto& points = polygons.emplace_back();
                for( const auto vertex : mesh.polygon_vertices( polygon ) )
                {
                    points.push_back( mesh.point( vertex ) );
                }
            }
            return polygons;
        }

        // Every vertex of the wall is bound to a unique vertex that also binds
        // a vertex of another surface, all at the wall vertex's point.
        void expect_bound_to_pillar_nodes( const BRep& model, const uuid& wall )
        {
            const auto& mesh = model.surface( wall ).mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                const auto unique_vertex = model.unique_vertex(
                    { { component_types::surface(), wall }, vertex } );
                ASSERT_NE( unique_vertex, NO_ID ) << "wall vertex " << vertex;
                index_t nb_others{ 0 };
                for( const auto& bound :
                    model.component_mesh_vertices( unique_vertex ) )
                {
                    const auto& id = bound.component_id.id();
                    EXPECT_TRUE( model.surface( id )
                                     .mesh()
                                     .point( bound.vertex )
                                     .inexact_equal( mesh.point( vertex ) ) )
                        << bound.string();
                    nb_others += id == wall ? 0 : 1;
                }
                EXPECT_GT( nb_others, 0 ) << "wall vertex " << vertex;
            }
        }

        // The plan view of one square: vertex 0 (0, 0), 1 (1, 0), 2 (0, 1),
        // 3 (1, 1); its border runs 0 -> 1 -> 3 -> 2 -> 0.
        Point3D node( index_t vertex, double z )
        {
            return Point3D{ { static_cast< double >( vertex % 2 ),
                static_cast< double >( vertex / 2 ), z } };
        }

        // The nodes of one pillar: the top, the horizon and the bottom.
        std::vector< test::StripModel::Node > nodes(
            const test::StripModel& strip, double top, double horizon )
        {
            return { { strip.top, top }, { strip.horizon, horizon },
                { strip.bottom, 0 } };
        }

        // A strip with its pillars given, its surface vertices made and bound.
        void make_nodes( test::StripModel& strip,
            const std::vector< std::pair< double, double > >& heights )
        {
            for( index_t vertex = 0; vertex < heights.size(); vertex++ )
            {
                strip.set_pillar( vertex, nodes( strip, heights[vertex].first,
                                              heights[vertex].second ) );
            }
            strip.make_surface_vertices();
            internal::create_unique_vertices(
                strip.context(), strip.surface_vertices );
        }

        struct WallCase
        {
            // Failure messages name the case.
            friend void PrintTo( const WallCase& test_case, std::ostream* out )
            {
                *out << test_case.name;
            }

            std::string name;
            // The horizon's height on each pillar; the top is at 10.
            std::array< double, 4 > horizon;
            std::vector< Polygon > expected;
            index_t nb_vertices;
        };

        class WallPolygons : public testing::TestWithParam< WallCase >
        {
        };

        // One wall between the top and the horizon all around the border:
        // the forward walk comes back to its seed and makes each polygon
        // once.
        TEST_P( WallPolygons, stand_between_the_nodes_of_two_pillars )
        {
            const auto& test_case = GetParam();
            test::StripModel strip{ 1 };
            const auto wall = strip.add_wall();
            const auto border = strip.border_edges();
            strip.trace_line( strip.top, wall, border );
            strip.trace_line( strip.horizon, wall, border );
            make_nodes( strip,
                { { 10, test_case.horizon[0] }, { 10, test_case.horizon[1] },
                    { 10, test_case.horizon[2] },
                    { 10, test_case.horizon[3] } } );

            internal::build_model_boundaries(
                strip.context(), strip.surface_vertices );

            EXPECT_EQ( polygons_of( strip.model, wall ), test_case.expected );
            EXPECT_EQ( strip.model.surface( wall ).mesh().nb_vertices(),
                test_case.nb_vertices );
            expect_bound_to_pillar_nodes( strip.model, wall );
        }

        INSTANTIATE_TEST_SUITE_P( Pinches, WallPolygons,
            testing::Values( WallCase{ "quadrangles", { 4, 5, 6, 7 },
                                 { { node( 0, 10 ), node( 0, 4 ), node( 1, 5 ),
                                       node( 1, 10 ) },
                                     { node( 1, 10 ), node( 1, 5 ),
                                         node( 3, 7 ), node( 3, 10 ) },
                                     { node( 3, 10 ), node( 3, 7 ),
                                         node( 2, 6 ), node( 2, 10 ) },
                                     { node( 2, 10 ), node( 2, 6 ),
                                         node( 0, 4 ), node( 0, 10 ) } },
                                 8 },
                // The horizon meets the top on pillar 0: the node met twice
                // gives one vertex.
                WallCase{ "one_pillar_pinches", { 10, 5, 6, 7 },
                    { { node( 0, 10 ), node( 1, 5 ), node( 1, 10 ) },
                        { node( 1, 10 ), node( 1, 5 ), node( 3, 7 ),
                            node( 3, 10 ) },
                        { node( 3, 10 ), node( 3, 7 ), node( 2, 6 ),
                            node( 2, 10 ) },
                        { node( 2, 10 ), node( 2, 6 ), node( 0, 10 ) } },
                    7 },
                WallCase{ "both_pillars_pinch", { 10, 10, 6, 7 },
                    { { node( 1, 10 ), node( 3, 7 ), node( 3, 10 ) },
                        { node( 3, 10 ), node( 3, 7 ), node( 2, 6 ),
                            node( 2, 10 ) },
                        { node( 2, 10 ), node( 2, 6 ), node( 0, 10 ) } },
                    6 },
                // Nodes closer than the tolerance share a unique vertex, so
                // one vertex, although their points differ.
                WallCase{ "pinch_within_tolerance", { 10 + 1e-9, 5, 6, 7 },
                    { { node( 0, 10 ), node( 1, 5 ), node( 1, 10 ) },
                        { node( 1, 10 ), node( 1, 5 ), node( 3, 7 ),
                            node( 3, 10 ) },
                        { node( 3, 10 ), node( 3, 7 ), node( 2, 6 ),
                            node( 2, 10 ) },
                        { node( 2, 10 ), node( 2, 6 ), node( 0, 10 ) } },
                    7 } ),
            []( const testing::TestParamInfo< WallCase >& info )
            {
                return info.param.name;
            } );

        // The plan-view edge under a wall polygon: the plan-view points of
        // its first and last vertices (the polygon goes down its first
        // pillar and up its second).
        std::pair< std::array< double, 2 >, std::array< double, 2 > > plan_edge(
            const Polygon& polygon )
        {
            return { { polygon.front().value( 0 ), polygon.front().value( 1 ) },
                { polygon.back().value( 0 ), polygon.back().value( 1 ) } };
        }

        // Two walls share the border of a strip of two squares: the south
        // one holds the two edges along y = 0, the other one the four other
        // edges, seeded in the middle of its run so that both walks are
        // needed. A third wall is reached by no border edge.
        TEST( ModelBoundaries, follow_each_wall_along_its_own_border_edges )
        {
            test::StripModel strip{ 2 };
            const auto south = strip.add_wall();
            const auto others = strip.add_wall();
            const auto unreached = strip.add_wall();
            const auto border = strip.border_edges();
            ASSERT_EQ( border.size(), 6 );
            const std::vector< PolygonEdge > south_edges{ border[0],
                border[1] };
            const std::vector< PolygonEdge > other_edges{ border.begin() + 2,
                border.end() };
            for( const auto& level : { strip.top, strip.horizon } )
            {
                strip.trace_line( level, south, south_edges );
                strip.trace_line( level, others, other_edges );
                strip.trace_line( level, unreached, {} );
            }
            std::vector< std::pair< double, double > > heights( 6, { 10, 5 } );
            make_nodes( strip, heights );

            internal::build_model_boundaries(
                strip.context(), strip.surface_vertices );

            const auto south_polygons = polygons_of( strip.model, south );
            const auto other_polygons = polygons_of( strip.model, others );
            EXPECT_EQ( south_polygons.size(), 2 );
            EXPECT_EQ( other_polygons.size(), 4 );
            EXPECT_EQ( strip.model.surface( south ).mesh().nb_vertices(), 6 );
            EXPECT_EQ( strip.model.surface( others ).mesh().nb_vertices(), 10 );
            EXPECT_EQ(
                strip.model.surface( unreached ).mesh().nb_vertices(), 0 );
            EXPECT_EQ(
                strip.model.surface( unreached ).mesh().nb_polygons(), 0 );

            std::vector<
                std::pair< std::array< double, 2 >, std::array< double, 2 > > >
                walked;
            for( const auto* polygons : { &south_polygons, &other_polygons } )
            {
                for( const auto& polygon : *polygons )
                {
                    EXPECT_EQ( polygon.size(), 4 );
                    walked.push_back( plan_edge( polygon ) );
                }
            }
            std::sort( walked.begin(), walked.end() );
            const std::vector<
                std::pair< std::array< double, 2 >, std::array< double, 2 > > >
                border_points{ { { 0, 0 }, { 1, 0 } }, { { 0, 1 }, { 0, 0 } },
                    { { 1, 0 }, { 2, 0 } }, { { 1, 1 }, { 0, 1 } },
                    { { 2, 0 }, { 2, 1 } }, { { 2, 1 }, { 1, 1 } } };
            EXPECT_EQ( walked, border_points );
            expect_bound_to_pillar_nodes( strip.model, south );
            expect_bound_to_pillar_nodes( strip.model, others );
        }

        TEST( ModelBoundaries, refuse_a_wall_that_is_not_a_polygonal_surface )
        {
            test::StripModel strip{ 1 };
            const auto wall =
                strip.add_wall( TriangulatedSurface< 3 >::create() );
            const auto border = strip.border_edges();
            strip.trace_line( strip.top, wall, border );
            strip.trace_line( strip.horizon, wall, border );
            make_nodes( strip, { { 10, 5 }, { 10, 5 }, { 10, 5 }, { 10, 5 } } );
            try
            {
                internal::build_model_boundaries(
                    strip.context(), strip.surface_vertices );
                FAIL() << "no error";
            }
            catch( const TessarkException& error )
            {
                EXPECT_EQ( std::string{ error.what() }.rfind(
                               "Cannot create mesh builder with key: ", 0 ),
                    0 )
                    << error.what();
            }
        }

        // A border edge of the wall's run that carries a single line of it
        // gives no pair of surfaces to stand between.
        TEST( ModelBoundaries, refuse_an_edge_with_a_single_wall_line )
        {
            test::StripModel strip{ 1 };
            const auto wall = strip.add_wall();
            const auto border = strip.border_edges();
            strip.trace_line( strip.top, wall, border );
            strip.trace_line( strip.horizon, wall, { border[0], border[1] } );
            make_nodes( strip, { { 10, 5 }, { 10, 5 }, { 10, 5 }, { 10, 5 } } );

            EXPECT_THAT(
                [&strip]
                {
                    internal::build_model_boundaries(
                        strip.context(), strip.surface_vertices );
                },
                testing::ThrowsMessage< TessarkException >( testing::AllOf(
                    testing::HasSubstr( wall.string() ),
                    testing::HasSubstr( "border edge from (1, 1) to (0, 1) "
                                        "carries fewer than two lines" ) ) ) );
        }
    } // namespace
} // namespace brevane
