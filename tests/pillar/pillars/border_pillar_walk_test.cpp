#include <functional>
#include <map>
#include <set>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <samples/model_variants.h>

#include "border_pillar_fixtures.h"
#include "pillars/side_wall_edges.h"
#include "pillars/side_wall_walk.h"

namespace brevane
{
    namespace
    {
        using internal::KnownPoints;
        using internal::LineSet;
        using internal::PathStep;
        using internal::SideWallContext;

        Point3D at( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        }

        // The rows of the wall x = 0 with a top vertex at y.
        test::WallRows rows_with_top_at( double y )
        {
            return { { 0, y, 2 }, { 0, 0.5, 1, 2 }, { 0, 1, 2 } };
        }

        struct Records
        {
            [[nodiscard]] bool empty() const
            {
                return known_points.empty() && lines.empty();
            }

            KnownPoints known_points;
            LineSet lines;
        };

        // The walks up and down the wall from the vertex, as a border
        // pillar makes them.
        Records walk( const SideWallContext& context, const Plane& plane,
            const uuid& wall, index_t vertex )
        {
            Records records;
            for( const auto direction :
                { internal::CutDirection::up, internal::CutDirection::down } )
            {
                internal::walk_side_wall( context, plane, direction, wall,
                    vertex, records.known_points, records.lines );
            }
            return records;
        }

        // The vertical plane through the point with the normal (nx, ny, 0),
        // and the same plane with the opposite normal.
        std::array< Plane, 2 > both_ways(
            const Point3D& origin, double nx, double ny )
        {
            return { Plane{ Vector3D{ { nx, ny, 0 } }, origin },
                Plane{ Vector3D{ { -nx, -ny, 0 } }, origin } };
        }

        // Walks the wall from its vertex at the start point with both
        // planes: the way down does not depend on which way the normal
        // points.
        Records walk_the_way_down( const SideWallContext& context,
            const test::HandMadeModel& made,
            const std::array< Plane, 2 >& planes, const uuid& wall,
            const Point3D& start )
        {
            const auto vertex = made.vertex_at( wall, start );
            auto first = walk( context, planes[0], wall, vertex );
            const auto second = walk( context, planes[1], wall, vertex );
            EXPECT_FALSE( first.empty() );
            EXPECT_EQ( first.known_points, second.known_points );
            EXPECT_EQ( first.lines, second.lines );
            return first;
        }

        std::set< std::string > names_of(
            const BRep& model, const LineSet& lines )
        {
            std::set< std::string > names;
            for( const auto& line : lines )
            {
                names.emplace( model.line( line ).name() );
            }
            return names;
        }

        std::map< std::string, Point3D > names_of(
            const BRep& model, const KnownPoints& points )
        {
            std::map< std::string, Point3D > names;
            for( const auto& [surface, point] : points )
            {
                names.emplace( model.surface( surface ).name(), point );
            }
            return names;
        }

        std::set< std::string > keys_of(
            const std::map< std::string, Point3D >& points )
        {
            std::set< std::string > keys;
            for( const auto& [name, point] : points )
            {
                keys.insert( name );
            }
            return keys;
        }

        using Names = std::set< std::string >;

        struct SnapCase
        {
            std::string name;
            double y;
            bool at_vertex;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const SnapCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }

        struct EditedModelCase
        {
            std::string name;
            double y;
            std::function< void( test::LayeredCorner& ) > editing;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const EditedModelCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }

        struct PlaneAlongEdgeCase
        {
            std::string name;
            // The edge the cut stops on is a bottom edge: the walk ends there.
            bool edge_on_the_bottom;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const PlaneAlongEdgeCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }

        struct EndTestCase
        {
            std::string name;
            bool lower_wall;
            // A step on the edge between the two points, or at the first one
            // when there is no second.
            Point3D first;
            std::optional< Point3D > second;
            bool reaches;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const EndTestCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }
    } // namespace

    TEST(
        SideWallWalk, cut_leaving_through_a_horizon_edge_records_the_crossing )
    {
        const auto y = 0.75;
        const test::LayeredCorner corner{ rows_with_top_at( y ), 0.5 };
        const auto& model = corner.made.model;
        const auto records = walk_the_way_down( corner.context( y ),
            corner.made, both_ways( at( 0, y, 2 ), 0, 1 ), corner.x_upper,
            at( 0, y, 2 ) );

        // The horizon gets the pillar's x and y with the height where the
        // cut crosses its edge; the walk goes on in the lower wall down to
        // the bottom. Side walls and the start's surfaces are not recorded.
        const auto points = names_of( model, records.known_points );
        ASSERT_EQ( keys_of( points ), ( Names{ "horizon", "bottom" } ) );
        const auto& horizon = points.at( "horizon" );
        EXPECT_EQ( horizon.value( 0 ), 0 );
        EXPECT_EQ( horizon.value( 1 ), y );
        EXPECT_NEAR( horizon.value( 2 ), test::horizon_z( y ), 1e-12 );
        EXPECT_EQ( points.at( "bottom" ), at( 0, y, 0 ) );
        EXPECT_EQ( names_of( model, records.lines ),
            ( Names{ "horizon_x_above", "bottom_x" } ) );
    }

    class CrossingNearAVertex : public testing::TestWithParam< SnapCase >
    {
    };

    // The horizon's line on the wall is cut in two at its vertex y = 0.5: a
    // crossing taken at that vertex records both halves and the vertex's
    // height, a crossing on the edge only the half holding the edge.
    TEST_P( CrossingNearAVertex, within_tolerance_counts_as_the_vertex )
    {
        const auto& param = GetParam();
        const test::LayeredCorner corner{ rows_with_top_at( param.y ), 0.5 };
        const auto& model = corner.made.model;
        const auto records = walk_the_way_down( corner.context( param.y ),
            corner.made, both_ways( at( 0, param.y, 2 ), 0, 1 ), corner.x_upper,
            at( 0, param.y, 2 ) );

        const auto points = names_of( model, records.known_points );
        ASSERT_EQ( keys_of( points ), ( Names{ "horizon", "bottom" } ) );
        const auto& horizon = points.at( "horizon" );
        EXPECT_EQ( horizon.value( 0 ), 0 );
        EXPECT_EQ( horizon.value( 1 ), param.y );
        EXPECT_EQ( points.at( "bottom" ), at( 0, param.y, 0 ) );
        if( param.at_vertex )
        {
            EXPECT_EQ( horizon.value( 2 ), test::horizon_z( 0.5 ) );
            EXPECT_EQ( names_of( model, records.lines ),
                ( Names{ "horizon_x_below", "horizon_x_above", "bottom_x" } ) );
        }
        else
        {
            EXPECT_NEAR(
                horizon.value( 2 ), test::horizon_z( param.y ), 1e-12 );
            EXPECT_NE( horizon.value( 2 ), test::horizon_z( 0.5 ) );
            EXPECT_EQ( names_of( model, records.lines ),
                ( Names{ "horizon_x_above", "bottom_x" } ) );
        }
    }

    INSTANTIATE_TEST_SUITE_P( SideWallWalk, CrossingNearAVertex,
        testing::Values( SnapCase{ "through_the_vertex", 0.5, true },
            SnapCase{ "within_tolerance", 0.5 + 5e-7, true },
            SnapCase{ "beyond_tolerance", 0.5 + 2e-6, false } ),
        []( const testing::TestParamInfo< SnapCase >& info )
        {
            return info.param.name;
        } );

    // At the corner x = 0, y = 0 the cutting plane (normal (1, -1, 0), across
    // the border) meets both walls along their common vertical edge. Each
    // wall, walked from the top with either orientation of the plane,
    // follows it down the corner.
    TEST( SideWallWalk, corner_walls_both_lead_down_the_corner )
    {
        const test::LayeredCorner corner{
            { { 0, 1, 2 }, { 0, 1, 2 }, { 0, 1, 2 } }, 1
        };
        const auto& model = corner.made.model;
        const auto context = corner.context( 0 );
        const auto planes = both_ways( at( 0, 0, 2 ), 1, -1 );
        for( const auto& wall : { corner.x_upper, corner.y_upper } )
        {
            for( const auto& plane : planes )
            {
                const auto records = walk( context, plane, wall,
                    corner.made.vertex_at( wall, at( 0, 0, 2 ) ) );
                EXPECT_EQ( names_of( model, records.known_points ),
                    ( std::map< std::string, Point3D >{
                        { "horizon", at( 0, 0, 1 ) },
                        { "bottom", at( 0, 0, 0 ) } } ) );
                EXPECT_EQ( names_of( model, records.lines ),
                    ( Names{ "horizon_x_below", "horizon_y", "corner_upper",
                        "corner_lower", "bottom_x", "bottom_y" } ) );
            }
        }
    }

    class EditedModel : public testing::TestWithParam< EditedModelCase >
    {
    };

    // The way down a wall is read from the heights alone: edits that leave
    // no border edge (or no other model boundary across it) to orient the
    // walk by do not stop it reaching the bottom under the pillar.
    TEST_P( EditedModel, walk_reaches_the_bottom )
    {
        const auto& param = GetParam();
        test::LayeredCorner corner{ rows_with_top_at( param.y ), 0.5 };
        param.editing( corner );
        const auto vertex =
            corner.made.vertex_at( corner.x_upper, at( 0, param.y, 2 ) );
        for( const auto& plane : both_ways( at( 0, param.y, 2 ), 0, 1 ) )
        {
            const auto records = walk(
                corner.context( param.y ), plane, corner.x_upper, vertex );
            const auto points =
                names_of( corner.made.model, records.known_points );
            ASSERT_TRUE( points.contains( "bottom" ) );
            EXPECT_EQ( points.at( "bottom" ), at( 0, param.y, 0 ) );
        }
    }

    INSTANTIATE_TEST_SUITE_P( SideWallWalk, EditedModel,
        testing::Values(
            // The top shares no edge with the wall at the start any more.
            EditedModelCase{ "no_border_edge_on_a_layer", 0.75,
                []( test::LayeredCorner& corner )
                {
                    corner.made.detach_vertex( corner.top, at( 0, 0, 2 ) );
                    corner.made.detach_vertex( corner.top, at( 0, 2, 2 ) );
                } },
            // The top, a horizon now and neither a model boundary nor in the
            // top list, is no wall to go on with.
            EditedModelCase{ "start_edge_on_no_other_model_boundary", 0.75,
                []( test::LayeredCorner& corner )
                {
                    corner.made.remove_from_model_boundary( corner.top );
                    static_cast< void >( corner.made.add_horizon(
                        std::array< uuid, 1 >{ corner.top } ) );
                    corner.top_list.front() = uuid{};
                } },
            // Through the horizon's vertex, the lower wall's border edge on
            // the horizon leads to no other model boundary.
            EditedModelCase{ "vertex_edge_on_no_other_model_boundary", 0.5,
                []( test::LayeredCorner& corner )
                {
                    corner.made.remove_from_model_boundary( corner.x_upper );
                } },
            // Both walls wound the other way round.
            EditedModelCase{ "walls_wound_the_other_way", 0.5,
                []( test::LayeredCorner& corner )
                {
                    reverse_surface_winding(
                        corner.made.model, corner.x_upper );
                    reverse_surface_winding(
                        corner.made.model, corner.x_lower );
                } } ),
        []( const testing::TestParamInfo< EditedModelCase >& info )
        {
            return info.param.name;
        } );

    TEST( SideWallWalk, start_on_no_layer_surface_fails )
    {
        const test::LayeredCorner corner{ rows_with_top_at( 0.75 ), 0.5 };
        // Without the top in the top list, nothing at the wall's top vertex
        // is a horizon, fault, top or bottom surface.
        const SideWallContext context{ corner.made.model, {},
            corner.bottom_list, at( 0, 0.75, 2 ) };
        const auto vertex =
            corner.made.vertex_at( corner.x_upper, at( 0, 0.75, 2 ) );
        const auto plane = both_ways( at( 0, 0.75, 2 ), 0, 1 )[0];
        try
        {
            static_cast< void >(
                walk( context, plane, corner.x_upper, vertex ) );
            ADD_FAILURE() << "the walk succeeded";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::AllOf( testing::HasSubstr( "x_upper" ),
                    testing::HasSubstr( corner.x_upper.string() ),
                    testing::HasSubstr( "is on no top, bottom, horizon or "
                                        "fault surface" ) ) );
        }
    }

    TEST(
        SideWallWalk, cut_leaving_into_no_model_boundary_fails_naming_the_wall )
    {
        test::LayeredCorner corner{ rows_with_top_at( 0.75 ), 0.5 };
        corner.made.remove_from_model_boundary( corner.x_lower );
        const auto vertex =
            corner.made.vertex_at( corner.x_upper, at( 0, 0.75, 2 ) );
        try
        {
            for( const auto& plane : both_ways( at( 0, 0.75, 2 ), 0, 1 ) )
            {
                static_cast< void >( walk(
                    corner.context( 0.75 ), plane, corner.x_upper, vertex ) );
            }
            ADD_FAILURE() << "the walks succeeded";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::AllOf( testing::HasSubstr( "x_upper" ),
                    testing::HasSubstr( corner.x_upper.string() ),
                    testing::HasSubstr( "no model boundary to go on" ) ) );
        }
    }

    class PlaneAlongAnEdge : public testing::TestWithParam< PlaneAlongEdgeCase >
    {
    };

    // A wall of one triangle lying in the cutting plane: the cut from its
    // top vertex "crosses" the facing edge along its whole length, and no
    // point of it can be computed.
    TEST_P( PlaneAlongAnEdge, crossing_point_cannot_be_computed )
    {
        test::HandMadeModel made;
        const auto top_vertex = at( 0, 0.5, 2 );
        const auto left = at( 0, 0, 1 );
        const auto right = at( 0, 1, 1 );
        const std::array< std::array< index_t, 3 >, 1 > triangle{
            { { 0, 1, 2 } }
        };
        const std::array wall_points{ top_vertex, left, right };
        const std::array top_points{ top_vertex, left, at( 1, 0, 2 ) };
        const std::array horizon_points{ left, right, at( 1, 0.5, 1 ) };
        const auto wall = made.add_surface(
            "wall", wall_points, triangle, Vector3D{ { -1, 0, 0 } } );
        const auto top = made.add_surface(
            "top", top_points, triangle, Vector3D{ { 0, 0, 1 } } );
        const auto horizon = made.add_surface(
            "horizon", horizon_points, triangle, Vector3D{ { 0, 0, 1 } } );
        made.add_to_model_boundary( wall );
        made.add_to_model_boundary( top );
        const std::array horizons{ horizon };
        made.add_horizon( horizons );
        const std::array tops{ top };
        const std::array bottoms{ horizon };
        const SideWallContext context{ made.model, tops,
            GetParam().edge_on_the_bottom ? absl::Span< const uuid >{ bottoms }
                                          : absl::Span< const uuid >{},
            top_vertex };
        const Plane plane{ Vector3D{ { 1, 0, 0 } }, top_vertex };
        try
        {
            static_cast< void >( walk(
                context, plane, wall, made.vertex_at( wall, top_vertex ) ) );
            ADD_FAILURE() << "the walk succeeded";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::AllOf( testing::HasSubstr( "side wall wall (" ),
                    testing::HasSubstr( wall.string() ),
                    testing::HasSubstr( "the edge lies in the plane" ) ) );
        }
    }

    INSTANTIATE_TEST_SUITE_P( SideWallWalk, PlaneAlongAnEdge,
        testing::Values( PlaneAlongEdgeCase{ "leaving_the_wall", false },
            PlaneAlongEdgeCase{ "ending_the_walk", true } ),
        []( const testing::TestParamInfo< PlaneAlongEdgeCase >& info )
        {
            return info.param.name;
        } );

    // A tube of two half walls under a top disc, cut by a tilted plane
    // through one top vertex: the cut goes round both halves and comes back
    // to where it left the first one.
    TEST( SideWallWalk, cut_round_a_loop_of_walls_fails_naming_the_wall )
    {
        test::HandMadeModel made;
        const auto half_a =
            made.add_surface( "half_a", test::octagonal_tube( 0, 4 ) );
        const auto half_b =
            made.add_surface( "half_b", test::octagonal_tube( 4, 8 ) );
        std::vector< Point3D > disc{ at( 0, 0, 2 ) };
        std::vector< std::array< index_t, 3 > > fan;
        for( index_t k = 0; k < 8; k++ )
        {
            disc.push_back( test::octagon_point( k, 2 ) );
            fan.push_back( { 0, k + 1, ( k + 1 ) % 8 + 1 } );
        }
        const auto top =
            made.add_surface( "top", disc, fan, Vector3D{ { 0, 0, 1 } } );
        for( const auto& surface : { half_a, half_b, top } )
        {
            made.add_to_model_boundary( surface );
        }
        const std::array tops{ top };
        const auto start = test::octagon_point( 2, 2 );
        const SideWallContext context{ made.model, tops, {}, start };
        // z = 2 + 0.6 ( y - 1 ): highest at the start, at 0.8 on the far
        // side, through no other vertex.
        const Plane plane{ Vector3D{ { 0, -0.6, 1 } }, start };
        const Plane opposite{ Vector3D{ { 0, 0.6, -1 } }, start };
        for( const auto* cut : { &plane, &opposite } )
        {
            try
            {
                static_cast< void >( walk(
                    context, *cut, half_a, made.vertex_at( half_a, start ) ) );
                ADD_FAILURE() << "the walk round the tube did not stop";
            }
            catch( const TessarkException& error )
            {
                EXPECT_THAT( error.what(),
                    testing::AllOf( testing::HasSubstr( "half_a" ),
                        testing::HasSubstr( half_a.string() ),
                        testing::HasSubstr( "closes on itself" ) ) );
            }
        }
    }

    class EndTest : public testing::TestWithParam< EndTestCase >
    {
    };

    TEST_P( EndTest, top_or_bottom_shares_the_edge_or_bounds_a_line_there )
    {
        const auto& param = GetParam();
        const test::LayeredCorner corner{
            { { 0, 1, 2 }, { 0, 1, 2 }, { 0, 1, 2 } }, 1
        };
        const auto& wall = param.lower_wall ? corner.x_lower : corner.x_upper;
        const auto& mesh = corner.made.model.surface( wall ).mesh();
        const auto first = corner.made.vertex_at( wall, param.first );
        PathStep step{ {}, POSITION::outside, first };
        if( param.second )
        {
            const auto second = corner.made.vertex_at( wall, *param.second );
            auto edge = mesh.polygon_edge_from_vertices( first, second );
            if( !edge )
            {
                edge = mesh.polygon_edge_from_vertices( second, first );
            }
            ASSERT_TRUE( edge.has_value() );
            step = PathStep{ *edge, POSITION::inside, NO_ID };
        }
        EXPECT_EQ(
            internal::reaches_top_or_bottom( corner.context( 1 ), wall, step ),
            param.reaches );
    }

    INSTANTIATE_TEST_SUITE_P( SideWallWalk, EndTest,
        testing::Values( EndTestCase{ "top_edge", false, at( 0, 0, 2 ),
                             at( 0, 1, 2 ), true },
            EndTestCase{
                "horizon_edge", false, at( 0, 0, 1 ), at( 0, 1, 1.2 ), false },
            EndTestCase{
                "bottom_edge", true, at( 0, 1, 0 ), at( 0, 2, 0 ), true },
            EndTestCase{
                "top_vertex", false, at( 0, 1, 2 ), std::nullopt, true },
            EndTestCase{
                "horizon_vertex", true, at( 0, 1, 1.2 ), std::nullopt, false },
            EndTestCase{
                "bottom_vertex", true, at( 0, 1, 0 ), std::nullopt, true } ),
        []( const testing::TestParamInfo< EndTestCase >& info )
        {
            return info.param.name;
        } );

    TEST( SideWallWalk, next_wall_across_an_edge_replaces_the_wall )
    {
        const test::LayeredCorner corner{
            { { 0, 1, 2 }, { 0, 1, 2 }, { 0, 1, 2 } }, 1
        };
        const auto& model = corner.made.model;
        const auto context = corner.context( 1.5 );
        const auto& mesh = model.surface( corner.x_upper ).mesh();
        const auto edge_between = [&]( const Point3D& from, const Point3D& to )
        {
            const auto a = corner.made.vertex_at( corner.x_upper, from );
            const auto b = corner.made.vertex_at( corner.x_upper, to );
            const auto edge = mesh.polygon_edge_from_vertices( a, b );
            return edge ? *edge
                        : mesh.polygon_edge_from_vertices( b, a ).value();
        };
        const auto down = internal::CutDirection::down;
        for( const auto& plane : both_ways( at( 0, 1.5, 2 ), 0, 1 ) )
        {
            // Across the horizon edge, into the lower wall, down to the
            // bottom edge under the pillar.
            auto wall = corner.x_upper;
            const auto step = internal::next_wall_from_edge( context,
                edge_between( at( 0, 1, 1.2 ), at( 0, 2, 1.4 ) ), wall, plane,
                down );
            ASSERT_TRUE( step.has_value() );
            EXPECT_EQ( wall, corner.x_lower );
            ASSERT_FALSE( step->is_at_vertex() );
            const auto bottom_edge =
                model.surface( corner.x_lower ).mesh().segment( step->edge );
            for( const auto& end : bottom_edge.vertices() )
            {
                EXPECT_EQ( end.value( 2 ), 0 );
            }

            // The wall's edge at y = 2 is shared with no other model
            // boundary: no next wall, and the wall stays.
            wall = corner.x_upper;
            EXPECT_FALSE( internal::next_wall_from_edge( context,
                edge_between( at( 0, 2, 2 ), at( 0, 2, 1.4 ) ), wall, plane,
                down )
                              .has_value() );
            EXPECT_EQ( wall, corner.x_upper );
        }
    }

    TEST( SideWallWalk, next_wall_from_a_vertex_takes_the_wall_leading_on )
    {
        const test::LayeredCorner corner{
            { { 0, 1, 2 }, { 0, 1, 2 }, { 0, 1, 2 } }, 1
        };
        const auto& model = corner.made.model;
        const auto context = corner.context( 1 );
        const auto unique = corner.made.unique_vertex_at( at( 0, 1, 1.2 ) );
        for( const auto& plane : both_ways( at( 0, 1, 2 ), 0, 1 ) )
        {
            // Only the lower wall leads down from the horizon's vertex; the
            // upper wall is the one left. Upwards, no other wall leads on.
            auto wall = corner.x_upper;
            const auto step = internal::next_wall_from_vertex(
                context, unique, wall, plane, internal::CutDirection::down );
            ASSERT_TRUE( step.has_value() );
            EXPECT_EQ( wall, corner.x_lower );
            ASSERT_TRUE( step->is_at_vertex() );
            EXPECT_EQ(
                model.surface( corner.x_lower ).mesh().point( step->vertex ),
                at( 0, 1, 0 ) );
            wall = corner.x_upper;
            EXPECT_FALSE( internal::next_wall_from_vertex(
                context, unique, wall, plane, internal::CutDirection::up )
                              .has_value() );
            EXPECT_EQ( wall, corner.x_upper );
        }
    }
} // namespace brevane
