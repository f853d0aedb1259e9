#include <optional>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/geometry/intersection.h>

#include <tessark/model/structural_model_builder.h>
#include <samples/model_variants.h>

#include "border_pillar_fixtures.h"
#include "pillars/plane_surface_path_finder.h"
#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        using internal::PathStep;
        using internal::PlaneSurfacePathFinder;

        Point3D at( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        }

        Plane plane_through(
            const Point3D& origin, double nx, double ny, double nz )
        {
            return Plane{ Vector3D{ { nx, ny, nz } }, origin };
        }

        PathStep start_at( index_t vertex )
        {
            return PathStep{ {}, POSITION::outside, vertex };
        }

        // Where the step's edge meets the plane.
        Point3D crossing_point( const SurfaceMesh< 3 >& mesh,
            const PathStep& step, const Plane& plane )
        {
            return segment_plane_intersection(
                mesh.segment( step.edge ), plane )
                .result.value();
        }

        // The grid of 2 x 2 unit squares in z = 0 (vertex (i, j) is
        // 3 j + i), as a model surface.
        struct GridWall
        {
            GridWall()
                : id( made.add_surface(
                    "grid", test::grid_surface< 3 >( 2, 2 ) ) )
            {
            }

            [[nodiscard]] const Surface< 3 >& wall() const
            {
                return made.model.surface( id );
            }

            test::HandMadeModel made;
            uuid id;
        };

        // The same grid stood up in the plane y = 0, vertex (i, j) at
        // (i, 0, j), wound one way or the other.
        struct StandingGridWall : GridWall
        {
            explicit StandingGridWall( bool reversed )
            {
                const auto& mesh = wall().mesh();
                StructuralModelBuilder builder{ made.model };
                auto mesh_builder = builder.surface_mesh_builder( id );
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    const auto& point = mesh.point( vertex );
                    mesh_builder->set_point( vertex,
                        at( point.value( 0 ), 0, point.value( 1 ) ) );
                }
                if( reversed )
                {
                    reverse_surface_winding( made.model, id );
                }
            }
        };

        using internal::CutDirection;

        struct VertexWalkCase
        {
            std::string name;
            index_t start;
            CutDirection direction;
            // The vertex the path ends at, none when no step follows the start.
            std::optional< index_t > end;
            index_t nb_steps;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const VertexWalkCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }

        struct PolygonStepCase
        {
            std::string name;
            Point3D origin;
            std::array< double, 3 > normal;
            PolygonEdge edge;
            POSITION position;
            index_t vertex;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const PolygonStepCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }

        struct ClosedCutCase
        {
            std::string name;
            std::array< double, 3 > normal;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const ClosedCutCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }
    } // namespace

    class VertexWalk : public testing::TestWithParam< VertexWalkCase >
    {
    };

    // The plane x = 1 runs through vertices 1, 4 and 7 of the standing
    // grid, at heights 0, 1 and 2. From a vertex the cut goes the way asked,
    // however the wall is wound and whichever way the plane's normal points.
    TEST_P( VertexWalk, cut_from_a_vertex_goes_the_way_asked )
    {
        const auto& param = GetParam();
        for( const auto reversed : { false, true } )
        {
            const StandingGridWall grid{ reversed };
            for( const auto sign : { 1., -1. } )
            {
                const auto plane = plane_through( at( 1, 0, 1 ), sign, 0, 0 );
                const PlaneSurfacePathFinder finder{ grid.wall(), plane,
                    param.direction };
                const auto path = finder.find_path( start_at( param.start ) );
                if( !param.end )
                {
                    EXPECT_FALSE( path.has_value() );
                    EXPECT_FALSE(
                        finder.step_from_vertex( param.start ).has_value() );
                    continue;
                }
                ASSERT_TRUE( path.has_value() );
                ASSERT_EQ( path->size(), param.nb_steps );
                EXPECT_EQ( path->front(), start_at( param.start ) );
                EXPECT_EQ( path->back().vertex, *param.end );
                const auto& mesh = finder.surface();
                for( std::size_t index = 1; index < path->size(); index++ )
                {
                    // Each step names the facing edge and which of its ends
                    // the crossing is at.
                    const auto& step = ( *path )[index];
                    ASSERT_TRUE( step.is_at_vertex() );
                    ASSERT_TRUE( step.position == POSITION::vertex0
                                 || step.position == POSITION::vertex1 );
                    const local_index_t end =
                        step.position == POSITION::vertex0 ? 0 : 1;
                    EXPECT_EQ( mesh.polygon_edge_vertex( step.edge, end ),
                        step.vertex );
                    EXPECT_EQ( mesh.point( step.vertex ).value( 0 ), 1 );
                }
            }
        }
    }

    INSTANTIATE_TEST_SUITE_P( PlaneSurfacePathFinder, VertexWalk,
        testing::Values(
            VertexWalkCase{ "down_from_the_middle", 4, CutDirection::down, 1,
                2 },
            VertexWalkCase{ "up_from_the_middle", 4, CutDirection::up, 7, 2 },
            VertexWalkCase{ "down_from_the_top_two_steps", 7,
                CutDirection::down, 1, 3 },
            VertexWalkCase{ "up_from_the_bottom_two_steps", 1,
                CutDirection::up, 7, 3 },
            VertexWalkCase{ "down_from_the_bottom_nothing_below", 1,
                CutDirection::down, std::nullopt, 0 },
            VertexWalkCase{ "up_from_the_top_nothing_above", 7,
                CutDirection::up, std::nullopt, 0 } ),
        []( const testing::TestParamInfo< VertexWalkCase >& info )
        {
            return info.param.name;
        } );

    // A cut lying flat goes neither up nor down: the walk from a vertex
    // stops there.
    TEST( PlaneSurfacePathFinder, horizontal_cut_from_a_vertex_has_no_step )
    {
        const GridWall grid;
        const auto plane = plane_through( at( 1, 1, 0 ), 1, 0, 0 );
        for( const auto direction : { CutDirection::down, CutDirection::up } )
        {
            const PlaneSurfacePathFinder finder{ grid.wall(), plane,
                direction };
            EXPECT_FALSE( finder.find_path( start_at( 4 ) ).has_value() );
        }
    }

    class PolygonStep : public testing::TestWithParam< PolygonStepCase >
    {
    };

    // Triangle 0 of the grid is (0, 1, 4): edge 0 runs 0 -> 1, its previous
    // edge (2) 4 -> 0, its next edge (1) 1 -> 4.
    TEST_P( PolygonStep, previous_edge_first_then_next_edge )
    {
        const auto& param = GetParam();
        const GridWall grid;
        const auto plane = plane_through(
            param.origin, param.normal[0], param.normal[1], param.normal[2] );
        const PlaneSurfacePathFinder finder{ grid.wall(), plane,
            CutDirection::down };
        EXPECT_EQ( finder.step_through_polygon( PolygonEdge{ 0, 0 } ),
            ( PathStep{ param.edge, param.position, param.vertex } ) );
    }

    INSTANTIATE_TEST_SUITE_P( PlaneSurfacePathFinder, PolygonStep,
        testing::Values(
            PolygonStepCase{ "both_edges_cut_previous_taken", at( 0.5, 0.5, 0 ),
                { 0, 1, 0 }, PolygonEdge{ 0, 2 }, POSITION::inside, NO_ID },
            PolygonStepCase{ "only_next_edge_cut", at( 1, 0.5, 0 ),
                { 1, -1, 0 }, PolygonEdge{ 0, 1 }, POSITION::inside, NO_ID },
            PolygonStepCase{ "through_the_opposite_vertex", at( 1, 1, 0 ),
                { 1, -0.5, 0 }, PolygonEdge{ 0, 2 }, POSITION::vertex0, 4 } ),
        []( const testing::TestParamInfo< PolygonStepCase >& info )
        {
            return info.param.name;
        } );

    TEST( PlaneSurfacePathFinder, no_step_through_a_polygon_the_plane_misses )
    {
        const GridWall grid;
        const auto plane = plane_through( at( 0, 0, 5 ), 0, 0, 1 );
        const PlaneSurfacePathFinder finder{ grid.wall(), plane,
            CutDirection::down };
        EXPECT_FALSE(
            finder.step_through_polygon( PolygonEdge{ 0, 0 } ).has_value() );
        EXPECT_FALSE( finder.step_from_vertex( 4 ).has_value() );
    }

    TEST( PlaneSurfacePathFinder, path_from_an_edge_crosses_to_the_far_border )
    {
        test::HandMadeModel made;
        // One column of three unit squares: vertex (i, j) is 2 j + i;
        // triangle 0 is (0, 1, 3), its edge 0 on the border y = 0.
        const auto id =
            made.add_surface( "column", test::grid_surface< 3 >( 1, 3 ) );
        const auto& wall = made.model.surface( id );
        const auto plane = plane_through( at( 0.25, 0, 0 ), 1, 0, 0 );
        const PlaneSurfacePathFinder finder{ wall, plane, CutDirection::down };
        const PathStep start{ PolygonEdge{ 0, 0 }, POSITION::inside, NO_ID };
        const auto path = finder.find_path( start );

        // Two crossings per square, a diagonal then a horizontal edge.
        ASSERT_TRUE( path.has_value() );
        ASSERT_EQ( path->size(), 7u );
        EXPECT_EQ( path->front(), start );
        const auto& mesh = finder.surface();
        double previous_y{ 0 };
        for( std::size_t index = 1; index < path->size(); index++ )
        {
            const auto& step = ( *path )[index];
            EXPECT_FALSE( step.is_at_vertex() );
            EXPECT_EQ( step.position, POSITION::inside );
            const auto y = crossing_point( mesh, step, plane ).value( 1 );
            EXPECT_GT( y, previous_y );
            previous_y = y;
        }
        EXPECT_TRUE( mesh.is_edge_on_border( path->back().edge ) );
        EXPECT_DOUBLE_EQ( previous_y, 3 );
    }

    class ClosedCut : public testing::TestWithParam< ClosedCutCase >
    {
    };

    // A closed tube cut across runs round it for ever; the guard stops the
    // walk and names the wall.
    TEST_P( ClosedCut, cut_closing_on_itself_fails_naming_the_wall )
    {
        const auto& normal = GetParam().normal;
        test::HandMadeModel made;
        const auto id =
            made.add_surface( "tube", test::octagonal_tube( 0, 8 ) );
        const auto& wall = made.model.surface( id );
        const auto plane = plane_through(
            test::octagon_point( 0, 1 ), normal[0], normal[1], normal[2] );
        // Vertex 1 is column 0, ring 1: the plane's origin. One way from it
        // the cut runs round the tube across edges.
        std::size_t nb_stopped{ 0 };
        for( const auto direction : { CutDirection::down, CutDirection::up } )
        {
            const PlaneSurfacePathFinder finder{ wall, plane, direction };
            try
            {
                static_cast< void >( finder.find_path( start_at( 1 ) ) );
            }
            catch( const TessarkException& error )
            {
                nb_stopped++;
                EXPECT_THAT( error.what(),
                    testing::AllOf( testing::HasSubstr( "tube" ),
                        testing::HasSubstr( id.string() ),
                        testing::HasSubstr( "closes on itself" ) ) );
            }
        }
        EXPECT_EQ( nb_stopped, 1u );
    }

    INSTANTIATE_TEST_SUITE_P( PlaneSurfacePathFinder, ClosedCut,
        testing::Values(
            // Tilted: across edges, through no other vertex.
            ClosedCutCase{ "across_edges", { 0.3, 0, 1 } },
            ClosedCutCase{ "across_edges_the_other_way", { -0.3, 0, 1 } } ),
        []( const testing::TestParamInfo< ClosedCutCase >& info )
        {
            return info.param.name;
        } );

    // A rebuilt side wall is made of quadrangles: the cut leaves each one
    // through whichever other edge it crosses. The plane x = 0.5 enters the
    // 2 x 2 quadrangle grid through its bottom border and leaves through its
    // top border, crossing the middle row of edges on the way.
    TEST( PlaneSurfacePathFinder, cuts_a_wall_of_quadrangles )
    {
        test::HandMadeModel made;
        const auto id =
            made.add_surface( "quads", test::quad_grid< 3 >( 2, 2 ) );
        const auto plane = plane_through( at( 0.5, 0, 0 ), 1, 0, 0 );
        const PlaneSurfacePathFinder finder{ made.model.surface( id ), plane,
            CutDirection::down };
        const auto& mesh = finder.surface();
        const auto bottom = mesh.polygon_edge_from_vertices( 0, 1 );
        ASSERT_TRUE( bottom );
        const auto path =
            finder.find_path( PathStep{ *bottom, POSITION::inside, NO_ID } );
        ASSERT_TRUE( path );
        ASSERT_EQ( path->size(), 3 );
        for( std::size_t step = 0; step < path->size(); step++ )
        {
            const auto crossing =
                crossing_point( mesh, ( *path )[step], plane );
            EXPECT_DOUBLE_EQ( crossing.value( 0 ), 0.5 );
            EXPECT_DOUBLE_EQ(
                crossing.value( 1 ), static_cast< double >( step ) );
        }
    }
} // namespace brevane
