#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include <tessark/geometry/distance.h>

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/small_sample_models.h>

#include <pillar/pillar_structural_model_builder.h>

#include <pillar/input_inspections.h>
#include "support/inspection_fixtures.h"
#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        PointsTooFarFromTopographyBoundaryInspectionResult inspect_points(
            StructuralModel& model, const std::vector< uuid >& top,
            const std::vector< uuid >& bottom )
        {
            PillarStructuralModelBuilder builder{ model, top, bottom };
            return builder.is_model_construction_possible().points_too_far;
        }

        std::string expected_message(
            index_t unique, const Point3D& position, std::string_view distance )
        {
            return concatenate( "Unique vertex with index ", unique,
                " at position ", position.string(),
                " is not close to topography border with a distance of ",
                distance );
        }

        struct MovedVertexCase
        {
            std::string name;
            Point3D from;
            Point3D to;
            // Empty when no issue is expected.
            std::string distance_text;
            double distance;
            Point3D target;
        };

        void PrintTo( const MovedVertexCase& moved, std::ostream* out )
        {
            *out << moved.name;
        }

        class WalledBoxMovedVertex
            : public testing::TestWithParam< MovedVertexCase >
        {
        };
    } // namespace

    TEST_P(
        WalledBoxMovedVertex, reports_only_border_vertices_beyond_tolerance )
    {
        const auto& moved = GetParam();
        test::WalledBox box;
        const auto unique = box.unique_vertex_at( moved.from );
        test::move_unique_vertex( box.model, unique, moved.to );
        const auto points =
            inspect_points( box.model, { box.top }, { box.bottom } );
        if( moved.distance_text.empty() )
        {
            EXPECT_EQ( points.nb_issues(), 0u ) << points.string();
            EXPECT_TRUE( points.messages.empty() );
            return;
        }
        ASSERT_EQ( points.nb_issues(), 1u ) << points.string();
        const auto& issue = points.issues.front();
        EXPECT_EQ( issue.unique_vertex, unique );
        EXPECT_DOUBLE_EQ( issue.distance, moved.distance );
        for( local_index_t axis = 0; axis < 3; axis++ )
        {
            EXPECT_NEAR(
                issue.point.value( axis ), moved.target.value( axis ), 1e-12 );
        }
        EXPECT_THAT( points.messages,
            testing::ElementsAre(
                expected_message( unique, moved.to, moved.distance_text ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( Inspection, WalledBoxMovedVertex,
        testing::Values(
            MovedVertexCase{ "at_the_tolerance", Point3D{ { 0, 5, 0 } },
                Point3D{ { -1e-6, 5, 0 } }, "", 0, {} },
            MovedVertexCase{ "twice_the_tolerance", Point3D{ { 0, 5, 0 } },
                Point3D{ { -2e-6, 5, 0 } }, "2e-06", 2e-6,
                Point3D{ { 0, 5, 0 } } },
            MovedVertexCase{ "inwards", Point3D{ { 0, 5, 0 } },
                Point3D{ { 2, 6.5, 0 } }, "2", 2, Point3D{ { 0, 6.5, 0 } } },
            // Shared by wall_x_min and wall_y_min: measured once.
            MovedVertexCase{ "shared_by_two_walls", Point3D{ { 0, 0, 5 } },
                Point3D{ { -1, -1, 5 } }, "1.41421", std::sqrt( 2. ),
                Point3D{ { 0, 0, 5 } } },
            MovedVertexCase{ "inner_wall_vertex", Point3D{ { 0, 5, 5 } },
                Point3D{ { -4, 5, 5 } }, "", 0, {} } ),
        []( const testing::TestParamInfo< MovedVertexCase >& info )
        {
            return info.param.name;
        } );

    TEST( PointsTooFarInspection, reports_vertices_in_order_of_first_encounter )
    {
        test::WalledBox box;
        // wall_x_max comes after wall_x_min in the model. The vertex moved
        // off wall_x_min is nearest to the corner of the border.
        const auto on_x_max = box.unique_vertex_at( Point3D{ { 10, 5, 0 } } );
        const auto on_x_min = box.unique_vertex_at( Point3D{ { 0, 10, 5 } } );
        test::move_unique_vertex(
            box.model, on_x_max, Point3D{ { 10.5, 5, 0 } } );
        test::move_unique_vertex(
            box.model, on_x_min, Point3D{ { -0.25, 10.25, 5 } } );
        const auto points =
            inspect_points( box.model, { box.top }, { box.bottom } );
        EXPECT_EQ( points.string(),
            concatenate( "2 issues with Points too far from topography "
                         "boundaries.\n\t",
                expected_message(
                    on_x_min, Point3D{ { -0.25, 10.25, 5 } }, "0.353553" ),
                "\n\t",
                expected_message( on_x_max, Point3D{ { 10.5, 5, 0 } }, "0.5" ),
                "\n" ) );
    }

    TEST( PointsTooFarInspection, skips_surfaces_that_are_not_side_boundaries )
    {
        // The moved vertex lies on wall_x_min and on the bottom only.
        const Point3D moved{ { -3, 5, 0 } };
        {
            test::WalledBox box;
            test::move_unique_vertex( box.model,
                box.unique_vertex_at( Point3D{ { 0, 5, 0 } } ), moved );
            EXPECT_EQ( inspect_points( box.model, { box.top },
                           { box.bottom, box.walls[0] } )
                           .nb_issues(),
                0u );
        }
        {
            test::WalledBox box;
            test::move_unique_vertex( box.model,
                box.unique_vertex_at( Point3D{ { 0, 5, 0 } } ), moved );
            StructuralModelBuilder builder{ box.model };
            builder.remove_relation( box.walls[0], box.boundary );
            EXPECT_EQ( inspect_points( box.model, { box.top }, { box.bottom } )
                           .nb_issues(),
                0u );
        }
    }

    TEST( PointsTooFarInspection, walks_every_edge_of_polygonal_side_surfaces )
    {
        // A top square [0, 3] x [0, 1] at z = 1 and, along y = 0, a wall of
        // three quads whose top edge is their fourth edge: the vertices
        // where two quads meet at the top are on no other border edge.
        StructuralModel model;
        StructuralModelBuilder builder{ model };
        const auto& top = builder.add_surface();
        {
            auto mesh =
                builder.surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    top );
            for( const auto& [x, y] :
                { std::pair{ 0., 0. }, { 3., 0. }, { 3., 1. }, { 0., 1. } } )
            {
                const auto vertex =
                    mesh->create_point( Point3D{ { x, y, 1 } } );
                builder.set_unique_vertex(
                    { model.surface( top ).component_id(), vertex },
                    builder.create_unique_vertex() );
            }
            mesh->create_triangle( { 0, 1, 2 } );
            mesh->create_triangle( { 0, 2, 3 } );
            mesh->compute_polygon_adjacencies();
        }
        const auto& wall =
            builder.add_surface( PolygonalSurface< 3 >::create() );
        builder.set_name( wall, "quads" );
        index_t junction_unique{ NO_ID };
        {
            const auto component = model.surface( wall ).component_id();
            auto mesh = builder.surface_mesh_builder( wall );
            // Vertex 2 x + z is at ( x, 0, z ).
            for( index_t x = 0; x < 4; x++ )
            {
                for( index_t z = 0; z < 2; z++ )
                {
                    const auto vertex = mesh->create_point(
                        Point3D{ { static_cast< double >( x ), 0,
                            static_cast< double >( z ) } } );
                    const auto unique = builder.create_unique_vertex();
                    builder.set_unique_vertex( { component, vertex }, unique );
                    if( x == 1 && z == 1 )
                    {
                        junction_unique = unique;
                    }
                }
            }
            for( index_t x = 0; x < 3; x++ )
            {
                const auto bottom_left = 2 * x;
                const std::array< index_t, 4 > quad{ bottom_left + 1,
                    bottom_left, bottom_left + 2, bottom_left + 3 };
                mesh->create_polygon( quad );
            }
            mesh->compute_polygon_adjacencies();
        }
        const auto& boundary = builder.add_model_boundary();
        builder.add_surface_in_model_boundary(
            model.surface( wall ), model.model_boundary( boundary ) );
        test::move_unique_vertex(
            model, junction_unique, Point3D{ { 1, -1, 1 } } );

        const auto points = inspect_points( model, { top }, {} );
        ASSERT_EQ( points.nb_issues(), 1u ) << points.string();
        EXPECT_EQ( points.issues.front().unique_vertex, junction_unique );
        EXPECT_EQ( points.issues.front().point, ( Point3D{ { 1, 0, 1 } } ) );
        EXPECT_EQ( points.issues.front().distance, 1 );
    }

    TEST( PointsTooFarInspection, an_empty_plan_view_has_no_border_to_miss )
    {
        test::WalledBox box;
        test::move_unique_vertex( box.model,
            box.unique_vertex_at( Point3D{ { 0, 5, 0 } } ),
            Point3D{ { -3, 5, 0 } } );
        EXPECT_EQ( inspect_points( box.model, {}, {} ).nb_issues(), 0u );
    }

    TEST( PointsTooFarInspection, rejects_side_vertices_it_cannot_identify )
    {
        {
            test::WalledBox box;
            StructuralModelBuilder builder{ box.model };
            const auto& wall = box.model.surface( box.walls[1] );
            builder.unset_unique_vertex( { wall.component_id(), 0 } );
            PillarStructuralModelBuilder inspector{ box.model, { &box.top, 1 },
                { &box.bottom, 1 } };
            EXPECT_THAT(
                [&inspector]
                {
                    (void)inspector.is_model_construction_possible();
                },
                testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                    concatenate( "Vertex 0 of side boundary surface "
                                 "\"wall_x_max\" (",
                        box.walls[1].string(),
                        ") is bound to no unique vertex" ) ) ) );
        }
        {
            test::WalledBox box;
            test::move_unique_vertex( box.model,
                box.unique_vertex_at( Point3D{ { 10, 5, 0 } } ),
                Point3D{
                    { std::numeric_limits< double >::quiet_NaN(), 5, 0 } } );
            PillarStructuralModelBuilder inspector{ box.model, { &box.top, 1 },
                { &box.bottom, 1 } };
            EXPECT_THAT(
                [&inspector]
                {
                    (void)inspector.is_model_construction_possible();
                },
                testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                    "of side boundary surface \"wall_x_max\"" ) ) );
        }
    }

    namespace
    {
        // A vertex on the border of the side surface, strictly inside the
        // box in y, at most at the given height.
        index_t middle_border_vertex( const SampleModel& sample,
            const Surface< 3 >& wall,
            double max_z = std::numeric_limits< double >::max() )
        {
            const auto& mesh = wall.mesh();
            for( const auto vertex : test::border_vertices( mesh ) )
            {
                const auto& point = mesh.point( vertex );
                const auto y = point.value( 1 );
                if( y > 1 && y < 59 && point.value( 2 ) <= max_z )
                {
                    return sample.model.unique_vertex(
                        { wall.component_id(), vertex } );
                }
            }
            throw TessarkException{ "No middle border vertex on ",
                wall.name() };
        }

        Point3D unique_vertex_point( const BRep& model, index_t unique )
        {
            for( const auto& vertex : model.component_mesh_vertices( unique ) )
            {
                if( vertex.component_id.type() == component_types::surface() )
                {
                    return model.surface( vertex.component_id.id() )
                        .mesh()
                        .point( vertex.vertex );
                }
            }
            throw TessarkException{ "Unique vertex ", unique,
                " is on no surface" };
        }

        Point3D shifted_x( const Point3D& point, double dx )
        {
            return Point3D{ { point.value( 0 ) + dx, point.value( 1 ),
                point.value( 2 ) } };
        }
    } // namespace

    TEST( PointsTooFarInspection, sample_wall_vertex_shared_by_two_walls )
    {
        for( const auto& [shift, expected] :
            { std::pair{ -1e-6, 0u }, std::pair{ -2e-6, 1u } } )
        {
            auto sample = one_fault_model();
            const auto& wall =
                test::surface_named( sample.model, "side_x_min_layer_1" );
            const auto unique = middle_border_vertex( sample, wall );
            const auto original = unique_vertex_point( sample.model, unique );
            ASSERT_EQ( original.value( 0 ), 0 );
            index_t nb_walls{ 0 };
            for( const auto& vertex :
                sample.model.component_mesh_vertices( unique ) )
            {
                const auto& id = vertex.component_id.id();
                nb_walls += sample.model.has_surface( id )
                            && sample.model.surface( id ).name().rfind(
                                   "side_x_min", 0 )
                                   == 0;
            }
            ASSERT_EQ( nb_walls, 2u );
            const auto moved = shifted_x( original, shift );
            test::move_unique_vertex( sample.model, unique, moved );
            const auto points = inspect_points(
                sample.model, sample.top_surfaces, sample.bottom_surfaces );
            ASSERT_EQ( points.nb_issues(), expected ) << points.string();
            if( expected == 0 )
            {
                continue;
            }
            EXPECT_EQ( points.issues.front().unique_vertex, unique );
            EXPECT_DOUBLE_EQ( points.issues.front().distance, 2e-6 );
            EXPECT_EQ( points.issues.front().point.value( 0 ), 0 );
            EXPECT_EQ(
                points.issues.front().point.value( 2 ), original.value( 2 ) );
            EXPECT_THAT( points.messages,
                testing::ElementsAre(
                    expected_message( unique, moved, "2e-06" ) ) );
        }
    }

    TEST(
        PointsTooFarInspection, sample_inner_wall_vertices_are_never_examined )
    {
        auto sample = one_fault_model();
        index_t nb_moved{ 0 };
        for( const auto& wall : sample.model.surfaces() )
        {
            if( wall.name().rfind( "side_", 0 ) != 0 )
            {
                continue;
            }
            for( const auto vertex : test::inner_vertices( wall.mesh() ) )
            {
                const auto unique = sample.model.unique_vertex(
                    { wall.component_id(), vertex } );
                const auto point = wall.mesh().point( vertex );
                test::move_unique_vertex( sample.model, unique,
                    Point3D{ { point.value( 0 ) + 7, point.value( 1 ) - 7,
                        point.value( 2 ) } } );
                nb_moved++;
            }
        }
        ASSERT_GT( nb_moved, 0u );
        EXPECT_EQ( inspect_points( sample.model, sample.top_surfaces,
                       sample.bottom_surfaces )
                       .nb_issues(),
            0u );
    }

    TEST( PointsTooFarInspection,
        sample_walls_listed_as_top_or_bottom_are_skipped )
    {
        enum struct Listing
        {
            none,
            top,
            bottom
        };
        for( const auto& [listing, expected] :
            { std::pair{ Listing::none, 1u }, std::pair{ Listing::top, 0u },
                std::pair{ Listing::bottom, 0u } } )
        {
            auto sample = one_fault_model();
            // A vertex of the bottom layer's wall along the flat bottom
            // (z = 0): on no other wall. Listed as a top surface, the wall
            // is also projected into the plan view, whose border then passes
            // through the vertex.
            const auto& wall =
                test::surface_named( sample.model, "side_x_min_layer_2" );
            const auto unique = middle_border_vertex( sample, wall, 0 );
            const auto original = unique_vertex_point( sample.model, unique );
            test::move_unique_vertex(
                sample.model, unique, shifted_x( original, -2e-6 ) );
            auto top = sample.top_surfaces;
            auto bottom = sample.bottom_surfaces;
            if( listing == Listing::top )
            {
                top.push_back( wall.id() );
            }
            if( listing == Listing::bottom )
            {
                bottom.push_back( wall.id() );
            }
            EXPECT_EQ( inspect_points( sample.model, top, bottom ).nb_issues(),
                expected )
                << static_cast< int >( listing );
        }
    }

    TEST( TopographyBorder, one_curve_edge_per_border_edge_in_polygon_order )
    {
        const auto ring = test::square_ring< 2 >();
        const auto border = internal::build_topography_border( *ring );
        std::vector< std::array< Point2D, 2 > > expected;
        std::vector< Point2D > first_seen;
        for( index_t polygon = 0; polygon < ring->nb_polygons(); polygon++ )
        {
            for( local_index_t edge = 0; edge < 3; edge++ )
            {
                if( !ring->is_edge_on_border( { polygon, edge } ) )
                {
                    continue;
                }
                const auto ends =
                    ring->polygon_edge_vertices( { polygon, edge } );
                expected.push_back(
                    { ring->point( ends[0] ), ring->point( ends[1] ) } );
                for( const auto end : ends )
                {
                    if( std::find( first_seen.begin(), first_seen.end(),
                            ring->point( end ) )
                        == first_seen.end() )
                    {
                        first_seen.push_back( ring->point( end ) );
                    }
                }
            }
        }
        ASSERT_EQ( expected.size(), 16u );
        ASSERT_EQ( border->nb_edges(), expected.size() );
        for( index_t edge = 0; edge < border->nb_edges(); edge++ )
        {
            EXPECT_EQ( border->segment( edge ).vertices(), expected[edge] );
        }
        ASSERT_EQ( border->nb_vertices(), first_seen.size() );
        for( index_t vertex = 0; vertex < border->nb_vertices(); vertex++ )
        {
            EXPECT_EQ( border->point( vertex ), first_seen[vertex] );
        }
    }

    TEST( PointsTooFarInspection, distances_match_brute_force_on_random_moves )
    {
        // The border of the box's top: the square [0, 10]^2.
        const std::array< Point2D, 4 > square{ Point2D{ { 0, 0 } },
            Point2D{ { 10, 0 } }, Point2D{ { 10, 10 } }, Point2D{ { 0, 10 } } };
        const auto brute_force = [&square]( const Point2D& point )
        {
            auto nearest = std::numeric_limits< double >::max();
            for( index_t side = 0; side < 4; side++ )
            {
                nearest = std::min( nearest,
                    point_segment_distance( point,
                        Segment2D{ square[side], square[( side + 1 ) % 4] } ) );
            }
            return nearest;
        };
        std::mt19937 random{ 42 };
        std::uniform_real_distribution< double > coordinate{ -3, 13 };
        std::uniform_int_distribution< int > tiny_shift{ -3, 3 };
        for( index_t trial = 0; trial < 200; trial++ )
        {
            test::WalledBox box;
            // A vertex of wall_x_max and the bottom only, moved anywhere,
            // or left within a few 1e-6 of its place.
            const auto unique = box.unique_vertex_at( Point3D{ { 10, 5, 0 } } );
            const auto moved =
                trial % 2 == 0
                    ? Point2D{ { coordinate( random ), coordinate( random ) } }
                    : Point2D{ { 10 + 1e-6 * tiny_shift( random ),
                        5 + 1e-6 * tiny_shift( random ) } };
            test::move_unique_vertex( box.model, unique,
                Point3D{ { moved.value( 0 ), moved.value( 1 ), 0 } } );
            const auto points =
                inspect_points( box.model, { box.top }, { box.bottom } );
            const auto expected = brute_force( moved );
            if( expected <= 1e-6 )
            {
                EXPECT_EQ( points.nb_issues(), 0u ) << moved.string();
                continue;
            }
            ASSERT_EQ( points.nb_issues(), 1u ) << moved.string();
            const auto& issue = points.issues.front();
            EXPECT_DOUBLE_EQ( issue.distance, expected ) << moved.string();
            EXPECT_NEAR(
                point_point_distance( issue.point.project_point( 2 ), moved ),
                expected, 1e-9 );
            EXPECT_NEAR(
                brute_force( issue.point.project_point( 2 ) ), 0, 1e-9 );
            EXPECT_EQ( issue.point.value( 2 ), 0 );
        }
    }
} // namespace brevane
