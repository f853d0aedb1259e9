#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/strings/str_cat.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/structural_model_builder.h>
#include <tessark/search/ray_tracing.h>

#include <halven/background/background_surface_builder.h>

#include <samples/small_sample_models.h>

#include "pillar/support/pillar_stage_fixture.h"
#include "support/mesh_fixtures.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/region_graph.h"
#include "top_surface/surface_ids.h"

namespace brevane
{
    namespace
    {
        // The 6 x 2 unit-square grid cut into three regions by two traces
        // running along y: line "A" at x = 2, and line "C" at x = 4, whose
        // upper edge also carries line "D". Optionally the left border
        // carries the side-wall line "W", and a dangling trace of line "E"
        // juts from the right border into the last region.
        struct StripPlan
        {
            bool walled{ true };
            bool dangling{ false };
        };

        constexpr index_t STRIP_NB_X{ 6 };
        constexpr index_t STRIP_NB_Y{ 2 };

        index_t grid_vertex( index_t x, index_t y )
        {
            return y * ( STRIP_NB_X + 1 ) + x;
        }

        // A model holding one surface "S" bounded by the named lines (in
        // that order) and a side wall bounded by "W", over the strip plan
        // view with the traces of StripPlan.
        struct StripFixture
        {
            StripFixture( const StripPlan& plan,
                const std::vector< std::string >& boundary )
                : surface( test::grid_surface< 2 >( STRIP_NB_X, STRIP_NB_Y ) ),
                  background( *surface ),
                  surface_ids(
                      internal::find_or_create_surface_ids( *surface ) )
            {
                StructuralModelBuilder builder{ model };
                for( const auto* name : { "A", "C", "D", "E", "W" } )
                {
                    lines[name] = builder.add_line();
                    builder.set_name( lines[name], name );
                }
                surface_s = builder.add_surface();
                builder.set_name( surface_s, "S" );
                wall = builder.add_surface();
                builder.set_name( wall, "wall" );
                builder.add_surface_in_model_boundary( model.surface( wall ),
                    model.model_boundary( builder.add_model_boundary() ) );
                builder.add_line_surface_boundary_relationship(
                    model.line( lines["W"] ), model.surface( wall ) );
                for( const auto& name : boundary )
                {
                    builder.add_line_surface_boundary_relationship(
                        model.line( lines.at( name ) ),
                        model.surface( surface_s ) );
                }

                add_trace( { "A" }, { { 2, 0 }, { 2, 1 }, { 2, 2 } } );
                add_trace( { "C" }, { { 4, 0 }, { 4, 1 } } );
                add_trace( { "C", "D" }, { { 4, 1 }, { 4, 2 } } );
                if( plan.walled )
                {
                    add_trace( { "W" }, { { 0, 0 }, { 0, 1 }, { 0, 2 } } );
                }
                if( plan.dangling )
                {
                    add_trace( { "E" }, { { 5, 1 }, { 6, 1 } } );
                }
            }

            // Gives the edges of the polyline through the grid points (x, y)
            // the records of the named lines.
            void add_trace( const std::vector< std::string >& names,
                const std::vector< std::array< index_t, 2 > >& points )
            {
                internal::BackgroundSurfaceBuilder builder{ background };
                for( std::size_t point = 1; point < points.size(); point++ )
                {
                    const auto& from = points[point - 1];
                    const auto& to = points[point];
                    const std::array< index_t, 1 > edge{
                        surface->edges()
                            .edge_from_vertices(
                                { grid_vertex( from[0], from[1] ),
                                    grid_vertex( to[0], to[1] ) } )
                            .value()
                    };
                    for( const auto& name : names )
                    {
                        builder.add_macro_edge_info(
                            { lines.at( name ), NO_ID }, edge );
                    }
                }
            }

            void assign()
            {
                internal::assign_surface_ids(
                    { model, {}, {} }, background, *surface_ids );
            }

            // 0 left of "A", 1 between "A" and "C", 2 right of "C".
            [[nodiscard]] index_t region_of( index_t triangle ) const
            {
                const auto x =
                    surface->polygon_barycenter( triangle ).value( 0 );
                return x < 2 ? 0 : ( x < 4 ? 1 : 2 );
            }

            StructuralModel model;
            absl::flat_hash_map< std::string, uuid > lines;
            uuid surface_s;
            uuid wall;
            std::unique_ptr< TriangulatedSurface< 2 > > surface;
            internal::BackgroundSurface background;
            std::shared_ptr< VariableAttribute< std::vector< uuid > > >
                surface_ids;
        };

        struct FloodCase
        {
            std::string name;
            StripPlan plan;
            std::vector< std::string > boundary;
            // How many times each region lists "S".
            std::array< index_t, 3 > expected;
        };
    } // namespace

    TEST( RegionGraph, RegionsAndLineSetsOfTheStrip )
    {
        const StripFixture fixture{ { true, true }, { "A" } };
        const auto regions = internal::build_region_graph( fixture.background );

        std::vector< index_t > region_vertices;
        for( index_t vertex = 0; vertex < regions.graph->nb_vertices();
             vertex++ )
        {
            if( regions.is_region( vertex ) )
            {
                region_vertices.push_back( vertex );
                EXPECT_TRUE( regions.lines[vertex].empty() );
                for( const auto triangle : regions.triangles[vertex] )
                {
                    EXPECT_EQ( fixture.region_of( triangle ),
                        fixture.region_of(
                            regions.triangles[vertex].front() ) );
                }
            }
        }
        // Three regions covering every triangle once; five line sets:
        // {W}, {A}, {C}, {C, D}, {E}.
        ASSERT_EQ( region_vertices.size(), 3 );
        EXPECT_EQ( regions.graph->nb_vertices(), 8 );
        index_t nb_triangles{ 0 };
        for( const auto region : region_vertices )
        {
            nb_triangles += regions.triangles[region].size();
        }
        EXPECT_EQ( nb_triangles, fixture.surface->nb_polygons() );

        const auto line_set_of = [&]( const std::string& name )
        {
            const auto& sets =
                regions.line_sets_of_line.at( fixture.lines.at( name ) );
            return sets.front();
        };
        const auto regions_around = [&]( index_t line_set )
        {
            std::vector< index_t > around;
            for( const auto region : regions.neighbours( line_set ) )
            {
                around.push_back(
                    fixture.region_of( regions.triangles[region].front() ) );
            }
            std::sort( around.begin(), around.end() );
            return around;
        };
        EXPECT_THAT(
            regions_around( line_set_of( "W" ) ), testing::ElementsAre( 0 ) );
        EXPECT_THAT( regions_around( line_set_of( "A" ) ),
            testing::ElementsAre( 0, 1 ) );
        EXPECT_THAT( regions_around( line_set_of( "D" ) ),
            testing::ElementsAre( 1, 2 ) );
        // A dangling trace has the same region on both sides: one graph edge.
        EXPECT_THAT(
            regions_around( line_set_of( "E" ) ), testing::ElementsAre( 2 ) );

        // "C" is in two line sets, listed in creation order, {C} first; the
        // line set {C, D} holds its lines sorted.
        const auto& sets_of_c =
            regions.line_sets_of_line.at( fixture.lines.at( "C" ) );
        ASSERT_EQ( sets_of_c.size(), 2 );
        EXPECT_LT( sets_of_c[0], sets_of_c[1] );
        EXPECT_EQ( regions.lines[sets_of_c[0]].size(), 1 );
        EXPECT_EQ( sets_of_c[1], line_set_of( "D" ) );
        EXPECT_TRUE( std::is_sorted( regions.lines[sets_of_c[1]].begin(),
            regions.lines[sets_of_c[1]].end() ) );
        EXPECT_EQ( regions.lines[sets_of_c[1]].size(), 2 );
    }

    // A line set is the set of lines an edge records, whatever their order:
    // an edge recording "D" then "C" joins the line set of the edge
    // recording "C" then "D".
    TEST( RegionGraph, SameLinesInAnotherOrderAreOneLineSet )
    {
        StripFixture fixture{ { true, false }, { "A" } };
        fixture.add_trace( { "D", "C" }, { { 5, 1 }, { 6, 1 } } );
        const auto regions = internal::build_region_graph( fixture.background );

        const auto& sets_of_d =
            regions.line_sets_of_line.at( fixture.lines.at( "D" ) );
        ASSERT_EQ( sets_of_d.size(), 1 );
        EXPECT_EQ( regions.line_sets_of_line.at( fixture.lines.at( "C" ) ).size(),
            2 );
        // Both edges bound the last region: one graph edge to it.
        EXPECT_EQ( regions.neighbours( sets_of_d.front() ).size(), 2 );
    }

    // Which regions a surface floods from its starting line, on the strip.
    TEST( AssignSurfaceIds, FloodsFromTheStartingLine )
    {
        const std::vector< FloodCase > cases{
            // The region between its two traces; the seed on the far side
            // of "A" reaches the walled border and is abandoned.
            { "enclosed between its traces", { true, false }, { "A", "C" },
                { 0, 1, 0 } },
            // Without the wall, the seed outside the surface completes too.
            { "seed outside the starting line completes", { false, false },
                { "A", "C" }, { 1, 1, 0 } },
            // From the middle region, both line sets of the trace at x = 4
            // queue the last region before it is taken: it is taken twice.
            { "region queued twice is collected twice", { true, false },
                { "A" }, { 0, 1, 2 } },
            // The same flood meets a trace with the last region on both
            // sides, already taken: abandoned.
            { "dangling trace abandons the flood", { true, true }, { "A" },
                { 0, 0, 0 } },
            // A side-wall line starts before the earlier listed "A": the
            // one seed is the region along the wall.
            { "side-wall line starts first", { true, false }, { "A", "W" },
                { 1, 0, 0 } },
            // Without a side-wall line the first line starts: "C" seeds the
            // regions on both of its sides, and both floods complete.
            { "first boundary line starts", { true, false }, { "C", "A" },
                { 0, 1, 1 } },
        };
        for( const auto& flood_case : cases )
        {
            SCOPED_TRACE( flood_case.name );
            StripFixture fixture{ flood_case.plan, flood_case.boundary };
            fixture.assign();
            for( index_t triangle = 0;
                 triangle < fixture.surface->nb_polygons(); triangle++ )
            {
                const std::vector< uuid > expected(
                    flood_case.expected[fixture.region_of( triangle )],
                    fixture.surface_s );
                EXPECT_EQ( fixture.surface_ids->value( triangle ), expected )
                    << "triangle " << triangle;
            }
        }
    }

    // The side wall (bounded by the walled border's trace) is never
    // flooded, and a surface without boundary lines has no starting line:
    // neither gets a triangle.
    TEST( AssignSurfaceIds, SkipsSideWallsAndSurfacesWithoutBoundary )
    {
        StripFixture fixture{ { true, false }, {} };
        fixture.assign();
        for( index_t triangle = 0; triangle < fixture.surface->nb_polygons();
             triangle++ )
        {
            EXPECT_TRUE( fixture.surface_ids->value( triangle ).empty() );
        }
    }

    TEST( AssignSurfaceIds, StartingLineWithoutTraceNamesSurfaceAndLine )
    {
        // "W" starts, but the unwalled border does not carry it.
        StripFixture fixture{ { false, false }, { "A", "W" } };
        try
        {
            fixture.assign();
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::AllOf( testing::HasSubstr( "\"S\"" ),
                    testing::HasSubstr( "\"W\"" ),
                    testing::HasSubstr( fixture.lines.at( "W" ).string() ) ) );
        }
    }

    namespace
    {
        struct SampleCase
        {
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
        };

        std::string sample_case_name(
            const testing::TestParamInfo< SampleCase >& info )
        {
            return absl::StrCat( "H", info.param.nb_horizons, "_F",
                info.param.nb_faults, "_T", info.param.target_top_triangles );
        }

        bool is_side_wall( const internal::TopSurfaceContext& context,
            const Surface< 3 >& surface )
        {
            return internal::is_model_boundary_surface( context, surface )
                   && !internal::is_top_or_bottom_surface( context, surface );
        }

        // The surfaces other than side walls that the vertical line through
        // the point meets between the two heights, by ray tracing.
        std::vector< uuid > surfaces_met(
            const test::PillarStageFixture& fixture,
            const internal::TopSurfaceContext& context, const Point2D& point )
        {
            const Point3D top{ { point.value( 0 ), point.value( 1 ),
                fixture.top_z } };
            const Segment3D segment{ top,
                Point3D{ { point.value( 0 ), point.value( 1 ),
                    fixture.bottom_z } } };
            std::vector< uuid > met;
            for( const auto& surface : fixture.sample.model.surfaces() )
            {
                if( is_side_wall( context, surface ) )
                {
                    continue;
                }
                RayTracing3D tracing{ surface.mesh(), top, segment };
                fixture.trees
                    .mesh_trees[fixture.trees.uuid_to_mesh_index.at(
                        surface.id() )]
                    .compute_segment_element_bbox_intersections(
                        segment, tracing );
                if( !tracing.all_intersections().empty() )
                {
                    met.push_back( surface.id() );
                }
            }
            std::sort( met.begin(), met.end() );
            return met;
        }

        class AssignSurfaceIdsOnSamples
            : public testing::TestWithParam< SampleCase >
        {
        };
    } // namespace

    // On sample models prepared as a build does (plan view with the traces
    // of the lines, border edges carrying the side-wall lines of their
    // pillars), each triangle lists exactly the surfaces, side walls aside,
    // that a vertical line through its barycentre meets.
    TEST_P( AssignSurfaceIdsOnSamples, TrianglesListTheSurfacesAboveAndBelow )
    {
        const auto& sample_case = GetParam();
        auto parameters = small_sample_parameters(
            sample_case.nb_horizons, sample_case.nb_faults );
        parameters.resolution.target_top_triangles =
            sample_case.target_top_triangles;
        test::PillarStageFixture fixture{ build_sample_model( parameters ) };
        const internal::TopSurfaceContext context{ fixture.sample.model,
            fixture.sample.top_surfaces, fixture.sample.bottom_surfaces };
        const auto pillars = internal::define_pillars_before_decimation(
            fixture.pillars(), fixture.top_z, fixture.bottom_z );
        internal::add_border_macro_edges( fixture.plan.background, pillars );
        auto surface_ids =
            internal::find_or_create_surface_ids( *fixture.plan.surface );

        internal::assign_surface_ids(
            context, fixture.plan.background, *surface_ids );

        const auto& plan_view = *fixture.plan.surface;
        for( index_t triangle = 0; triangle < plan_view.nb_polygons();
             triangle++ )
        {
            auto listed = surface_ids->value( triangle );
            std::sort( listed.begin(), listed.end() );
            listed.erase(
                std::unique( listed.begin(), listed.end() ), listed.end() );
            EXPECT_EQ( listed, surfaces_met( fixture, context,
                                   plan_view.polygon_barycenter( triangle ) ) )
                << "triangle " << triangle;
        }
    }

    INSTANTIATE_TEST_SUITE_P( Samples, AssignSurfaceIdsOnSamples,
        testing::Values( SampleCase{ 0, 0, 24 }, SampleCase{ 2, 0, 24 },
            SampleCase{ 2, 1, 24 }, SampleCase{ 3, 2, 200 },
            SampleCase{ 3, 3, 400 } ),
        sample_case_name );
} // namespace brevane
