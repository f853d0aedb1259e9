#include <map>
#include <ostream>
#include <set>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/geometry/barycentric_coordinates.h>
#include <tessark/geometry/distance.h>

#include <pillar/top_surface_plan_view.h>
#include <samples/small_sample_models.h>

#include "border_pillar_fixtures.h"
#include "pillar/support/pillar_stage_fixture.h"
#include "pillars/border_pillar.h"
#include "support/geometry_checks.h"
#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        using Names = std::set< std::string >;

        Point3D at( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        }

        index_t plan_vertex_at(
            const TriangulatedSurface2D& plan_view, double x, double y )
        {
            const Point2D point{ { x, y } };
            for( index_t vertex = 0; vertex < plan_view.nb_vertices();
                 vertex++ )
            {
                if( plan_view.point( vertex ) == point )
                {
                    return vertex;
                }
            }
            throw std::runtime_error{ "no plan-view vertex at "
                                      + point.string() };
        }

        Pillar pillar_at( const TriangulatedSurface2D& plan_view,
            index_t vertex, double top_z )
        {
            const auto& point = plan_view.point( vertex );
            return Pillar{ vertex,
                at( point.value( 0 ), point.value( 1 ), top_z ), {}, {} };
        }

        Segment3D segment_of( const Pillar& pillar, double bottom_z )
        {
            return { pillar.top,
                at( pillar.top.value( 0 ), pillar.top.value( 1 ), bottom_z ) };
        }

        Names line_names(
            const BRep& model, const absl::btree_set< uuid >& lines )
        {
            Names names;
            for( const auto& line : lines )
            {
                names.emplace( model.line( line ).name() );
            }
            return names;
        }

        struct CuttingPlaneCase
        {
            std::string name;
            double x;
            double y;
            std::array< double, 3 > normal;
        };

        void PrintTo( const CuttingPlaneCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }
    } // namespace

    class CuttingPlane : public testing::TestWithParam< CuttingPlaneCase >
    {
    };

    // The L-shaped plan view of [0, 4]^2 without [2, 4]^2: its border runs
    // counter-clockwise (0, 0) (4, 0) (4, 2) (2, 2) (2, 4) (0, 4).
    TEST_P( CuttingPlane, normal_adds_the_border_directions_at_the_vertex )
    {
        const auto& param = GetParam();
        const auto plan_view = test::l_shape< 2 >();
        const auto pillar = pillar_at(
            *plan_view, plan_vertex_at( *plan_view, param.x, param.y ), 7 );
        const auto plane = internal::border_cutting_plane( *plan_view, pillar );
        EXPECT_EQ( plane.normal(), Vector3D{ param.normal } );
        EXPECT_EQ( plane.origin(), pillar.top );
    }

    INSTANTIATE_TEST_SUITE_P( BorderPillar, CuttingPlane,
        testing::Values(
            CuttingPlaneCase{ "straight_border", 1, 0, { 2, 0, 0 } },
            CuttingPlaneCase{ "convex_corner", 0, 0, { 1, -1, 0 } },
            CuttingPlaneCase{ "other_convex_corner", 0, 4, { -1, -1, 0 } },
            CuttingPlaneCase{ "reflex_corner", 2, 2, { -1, 1, 0 } } ),
        []( const testing::TestParamInfo< CuttingPlaneCase >& info )
        {
            return info.param.name;
        } );

    TEST( BorderPillar, cutting_plane_needs_a_border_vertex )
    {
        const auto plan_view = test::l_shape< 2 >();
        const auto vertex = plan_vertex_at( *plan_view, 1, 1 );
        try
        {
            static_cast< void >( internal::border_cutting_plane(
                *plan_view, pillar_at( *plan_view, vertex, 7 ) ) );
            ADD_FAILURE() << "an inner vertex got a cutting plane";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::HasSubstr( "has no border edge at 1 1 7" ) );
        }
    }

    namespace
    {
        // The hand-made corner brought to the pillar stage: its plan view,
        // search trees and the one group of the horizon.
        struct CornerPillars
        {
            CornerPillars( const test::WallRows& rows, double horizon_split )
                : corner( rows, horizon_split ),
                  plan( internal::create_plan_view() ),
                  trees(
                      create_surface_meshes_aabb_trees( corner.made.model ) ),
                  order{ { corner.horizon } }
            {
                internal::project_top_surfaces(
                    { corner.made.model, corner.top_list, corner.bottom_list },
                    *plan.surface, plan.background, *plan.z_coordinate );
            }

            [[nodiscard]] Pillar define( double y ) const
            {
                const internal::PillarModelContext context{ corner.made.model,
                    corner.top_list, corner.bottom_list, trees, plan.background,
                    order };
                auto pillar = pillar_at( *plan.surface,
                    plan_vertex_at( *plan.surface, 0, y ), top_z );
                internal::define_border_pillar(
                    { context, pillar, segment_of( pillar, bottom_z ) } );
                return pillar;
            }

            test::LayeredCorner corner;
            internal::PlanView plan;
            ModelMeshesAABBTree< 3 > trees;
            std::vector< SurfaceGroup > order;
            double top_z{ 2 + 1e-6 };
            double bottom_z{ -1 };
        };

        struct HandMadePillarCase
        {
            std::string name;
            test::WallRows rows;
            double horizon_split;
            double y;
            Names lines;
        };

        void PrintTo( const HandMadePillarCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }
    } // namespace

    class HandMadeBorderPillar
        : public testing::TestWithParam< HandMadePillarCase >
    {
    };

    TEST_P( HandMadeBorderPillar, records_the_walls_and_completes_the_pillar )
    {
        const auto& param = GetParam();
        const CornerPillars pillars{ param.rows, param.horizon_split };
        const auto& corner = pillars.corner;
        const auto pillar = pillars.define( param.y );

        EXPECT_EQ( line_names( corner.made.model, pillar.lines ), param.lines );
        ASSERT_EQ( pillar.intersections.size(), 3u );
        EXPECT_EQ( pillar.intersections[0],
            ( PillarIntersection{ corner.top, at( 0, param.y, 2 ) } ) );
        EXPECT_EQ( pillar.intersections[1].surface, corner.horizon );
        test::expect_near( pillar.intersections[1].point,
            at( 0, param.y, test::horizon_z( param.y ) ), 1e-12 );
        EXPECT_EQ( pillar.intersections[1].point.value( 0 ), 0 );
        EXPECT_EQ( pillar.intersections[1].point.value( 1 ), param.y );
        EXPECT_EQ( pillar.intersections[2],
            ( PillarIntersection{ corner.bottom, at( 0, param.y, 0 ) } ) );
    }

    INSTANTIATE_TEST_SUITE_P( BorderPillar, HandMadeBorderPillar,
        testing::Values(
            // Both walls meet the corner's pillar: every line around the
            // corner is passed.
            HandMadePillarCase{ "model_corner",
                { { 0, 1, 2 }, { 0, 1, 2 }, { 0, 1, 2 } }, 1, 0,
                { "top_x", "top_y", "corner_upper", "horizon_x_below",
                    "horizon_y", "corner_lower", "bottom_x", "bottom_y" } },
            HandMadePillarCase{ "along_one_wall",
                { { 0, 0.75, 2 }, { 0, 0.5, 1, 2 }, { 0, 1, 2 } }, 0.5, 0.75,
                { "top_x", "horizon_x_above", "bottom_x" } } ),
        []( const testing::TestParamInfo< HandMadePillarCase >& info )
        {
            return info.param.name;
        } );

    namespace
    {
        // What brute force over every triangle and line edge finds at the
        // pillar's x and y, within a distance in plan view.
        struct AtPillar
        {
            // Heights of every surface that is not a side wall, one per
            // triangle over the pillar.
            std::map< std::string, std::vector< double > > heights;
            Names lines;
        };

        AtPillar brute_force_at( const internal::SideWallContext& context,
            const Point2D& xy, double tolerance )
        {
            const auto& model = context.model;
            const Point3D point{ { xy.value( 0 ), xy.value( 1 ), 0 } };
            const auto flat = []( const Point3D& p )
            {
                return Point3D{ { p.value( 0 ), p.value( 1 ), 0 } };
            };
            AtPillar result;
            for( const auto& surface : model.surfaces() )
            {
                if( internal::is_side_wall( context, surface.id() ) )
                {
                    continue;
                }
                const auto& mesh = surface.mesh();
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    const auto vertices = mesh.polygon_vertices( polygon );
                    const std::array corners{ mesh.point( vertices[0] ),
                        mesh.point( vertices[1] ), mesh.point( vertices[2] ) };
                    const Triangle3D projected{ flat( corners[0] ),
                        flat( corners[1] ), flat( corners[2] ) };
                    const auto [distance, nearest] =
                        point_triangle_distance( point, projected );
                    if( distance > tolerance )
                    {
                        continue;
                    }
                    const auto weights = safe_triangle_barycentric_coordinates(
                        nearest, projected );
                    result.heights[std::string{ surface.name() }].push_back(
                        weights[0] * corners[0].value( 2 )
                        + weights[1] * corners[1].value( 2 )
                        + weights[2] * corners[2].value( 2 ) );
                }
            }
            for( const auto& line : model.lines() )
            {
                const auto& mesh = line.mesh();
                for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
                {
                    const auto segment = mesh.segment( edge );
                    const Segment2D projected{
                        segment.vertices()[0].project_point( 2 ),
                        segment.vertices()[1].project_point( 2 )
                    };
                    if( point_segment_distance( xy, projected ) <= tolerance )
                    {
                        result.lines.emplace( line.name() );
                        break;
                    }
                }
            }
            return result;
        }

        Names names_of(
            const std::map< std::string, std::vector< double > >& heights )
        {
            Names names;
            for( const auto& [name, values] : heights )
            {
                names.insert( name );
            }
            return names;
        }

        // The point has the pillar's x and y, and a height of the surface
        // over them.
        void expect_on_surface_at_pillar( const std::string& surface,
            const Point3D& point, const Pillar& pillar, const AtPillar& loose )
        {
            EXPECT_EQ( point.value( 0 ), pillar.top.value( 0 ) ) << surface;
            EXPECT_EQ( point.value( 1 ), pillar.top.value( 1 ) ) << surface;
            const auto heights = loose.heights.find( surface );
            ASSERT_NE( heights, loose.heights.end() ) << surface;
            const auto matches =
                std::any_of( heights->second.begin(), heights->second.end(),
                    [&point]( double height )
                    {
                        return std::abs( height - point.value( 2 ) ) <= 1e-5;
                    } );
            EXPECT_TRUE( matches ) << surface << " at " << point.string()
                                   << " of pillar " << pillar.vertex;
        }

        struct SampleCase
        {
            std::string name;
            index_t nb_horizons;
            index_t nb_faults;
        };

        void PrintTo( const SampleCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }
    } // namespace

    class BorderPillarsOnSamples : public testing::TestWithParam< SampleCase >
    {
    };

    // Every border pillar of a factory model: the walls alone record every
    // horizon, fault, top and bottom surface and every line at the pillar's
    // x and y (brute force, within 1e-9; nothing farther than 1e-5 away),
    // at the pillar's x and y and the surface's height there; the completed
    // pillar runs from top to bottom in the order of the surface groups.
    TEST_P( BorderPillarsOnSamples, walls_record_every_layer_at_the_pillar )
    {
        const auto& param = GetParam();
        const test::PillarStageFixture fixture{ build_sample_model(
            small_sample_parameters( param.nb_horizons, param.nb_faults ) ) };
        const auto& model = fixture.sample.model;
        const auto& plan_view = *fixture.plan.surface;
        const auto context = fixture.pillars();
        const internal::SideWallContext walls{ model,
            fixture.sample.top_surfaces, fixture.sample.bottom_surfaces, {} };
        index_t nb_border_pillars{ 0 };
        for( index_t vertex = 0; vertex < plan_view.nb_vertices(); vertex++ )
        {
            if( !plan_view.is_vertex_on_border( vertex ) )
            {
                continue;
            }
            nb_border_pillars++;
            SCOPED_TRACE( "plan-view vertex " + std::to_string( vertex )
                          + " at " + plan_view.point( vertex ).string() );
            auto pillar = pillar_at( plan_view, vertex, fixture.top_z );
            const auto records = internal::walk_side_walls(
                { context, pillar, segment_of( pillar, fixture.bottom_z ) } );
            const auto& xy = plan_view.point( vertex );
            const auto strict = brute_force_at( walls, xy, 1e-9 );
            const auto loose = brute_force_at( walls, xy, 1e-5 );

            Names recorded;
            for( const auto& [surface, point] : records.known_points )
            {
                const std::string name{ model.surface( surface ).name() };
                recorded.insert( name );
                expect_on_surface_at_pillar( name, point, pillar, loose );
            }
            EXPECT_THAT(
                recorded, testing::IsSupersetOf( names_of( strict.heights ) ) );
            EXPECT_THAT(
                recorded, testing::IsSubsetOf( names_of( loose.heights ) ) );
            const auto lines = line_names( model, records.lines );
            EXPECT_THAT( lines, testing::IsSupersetOf( strict.lines ) );
            EXPECT_THAT( lines, testing::IsSubsetOf( loose.lines ) );

            const auto defined = fixture.pillar( vertex );
            EXPECT_EQ( defined.lines, records.lines );
            Names met;
            for( std::size_t index = 0; index < defined.intersections.size();
                 index++ )
            {
                const auto& intersection = defined.intersections[index];
                const std::string name{
                    model.surface( intersection.surface ).name()
                };
                met.insert( name );
                expect_on_surface_at_pillar(
                    name, intersection.point, defined, loose );
                if( index > 0 )
                {
                    EXPECT_LE( intersection.point.value( 2 ),
                        defined.intersections[index - 1].point.value( 2 )
                            + 1e-9 )
                        << name << " is above the surface before it";
                }
            }
            EXPECT_THAT(
                met, testing::IsSupersetOf( names_of( strict.heights ) ) );
            EXPECT_THAT(
                met, testing::IsSubsetOf( names_of( loose.heights ) ) );
        }
        EXPECT_GT( nb_border_pillars, 0u );
    }

    INSTANTIATE_TEST_SUITE_P( BorderPillar, BorderPillarsOnSamples,
        testing::Values( SampleCase{ "one_horizon_no_fault", 1, 0 },
            SampleCase{ "two_horizons_one_fault", 2, 1 },
            SampleCase{ "one_horizon_two_faults", 1, 2 },
            SampleCase{ "three_horizons_two_faults", 3, 2 } ),
        []( const testing::TestParamInfo< SampleCase >& info )
        {
            return info.param.name;
        } );
} // namespace brevane
