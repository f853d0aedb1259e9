#include <gtest/gtest.h>

#include <algorithm>

#include <absl/strings/str_cat.h>

#include <tessark/geometry/distance.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface_builder.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "pillar/support/pillar_stage_fixture.h"
#include "pillars/surface_groups.h"

namespace brevane
{
    namespace
    {
        bool is_top_surface(
            const test::PillarStageFixture& fixture, const uuid& surface )
        {
            const auto& tops = fixture.sample.top_surfaces;
            return std::find( tops.begin(), tops.end(), surface ) != tops.end();
        }

        // An inner plan-view vertex on the trace of a line running along a
        // fault at the topography: its incident macro edges hold the line.
        struct TraceVertex
        {
            index_t vertex;
            uuid line;
            index_t edge;
        };

        std::optional< TraceVertex > inner_fault_trace_vertex(
            const test::PillarStageFixture& fixture )
        {
            const auto& model = fixture.sample.model;
            const auto& plan_view = *fixture.plan.surface;
            const auto& fault = fixture.sample.faults.front().items.front();
            for( index_t vertex = 0; vertex < plan_view.nb_vertices();
                 vertex++ )
            {
                if( plan_view.is_vertex_on_border( vertex ) )
                {
                    continue;
                }
                for( const auto& macro_edge :
                    fixture.plan.background.incident_macro_edges( vertex ) )
                {
                    if( macro_edge.edge == NO_ID
                        || !model.has_line( macro_edge.mesh_id ) )
                    {
                        continue;
                    }
                    const auto incidences =
                        model.incidences( macro_edge.mesh_id );
                    const auto touches_fault =
                        std::any_of( incidences.begin(), incidences.end(),
                            [&fault]( const ComponentID& surface )
                            {
                                return surface.id() == fault;
                            } );
                    const auto touches_top =
                        std::any_of( incidences.begin(), incidences.end(),
                            [&]( const ComponentID& surface )
                            {
                                return is_top_surface( fixture, surface.id() );
                            } );
                    if( touches_fault && touches_top )
                    {
                        return TraceVertex{ vertex, macro_edge.mesh_id,
                            macro_edge.edge };
                    }
                }
            }
            return std::nullopt;
        }

        const PillarIntersection* intersection_of(
            const Pillar& pillar, const uuid& surface )
        {
            for( const auto& intersection : pillar.intersections )
            {
                if( intersection.surface == surface )
                {
                    return &intersection;
                }
            }
            return nullptr;
        }

        void move_plan_vertex(
            test::PillarStageFixture& fixture, index_t vertex, double dx )
        {
            auto builder = TriangulatedSurfaceBuilder< 2 >::create(
                *fixture.plan.surface );
            auto point = fixture.plan.surface->point( vertex );
            point.set_value( 0, point.value( 0 ) + dx );
            builder->set_point( vertex, point );
        }
    } // namespace

    // A line edge passing within 1e-6 of the pillar gives the line's
    // surfaces the height of its nearest point; 2e-6 away it gives nothing
    // and they are traced.
    TEST( DefinePillar, LineWithinToleranceGivesItsHeight )
    {
        struct Shift
        {
            double dx;
            bool from_line;
        };
        for( const auto shift : { Shift{ 0, true }, Shift{ 0.5e-6, true },
                 Shift{ 2e-6, false }, Shift{ -2e-6, false } } )
        {
            test::PillarStageFixture fixture{ one_fault_model() };
            const auto trace = inner_fault_trace_vertex( fixture );
            ASSERT_TRUE( trace );
            move_plan_vertex( fixture, trace->vertex, shift.dx );
            const auto pillar = fixture.pillar( trace->vertex );
            EXPECT_TRUE( pillar.lines.empty() );

            const auto& model = fixture.sample.model;
            const auto segment =
                model.line( trace->line ).mesh().segment( trace->edge );
            const InfiniteLine3D vertical{ Vector3D{ { 0, 0, -1 } },
                pillar.top };
            const auto line_z =
                std::get< 1 >( segment_line_distance( segment, vertical ) )
                    .value( 2 );
            Pillar traced{ pillar.vertex, pillar.top, {}, {} };
            const internal::PillarContext context{ fixture.pillars(), traced,
                { pillar.top,
                    Point3D{ { pillar.top.value( 0 ), pillar.top.value( 1 ),
                        fixture.bottom_z } } } };
            for( const auto& surface : model.incidences( trace->line ) )
            {
                SCOPED_TRACE( absl::StrCat( "shift ", shift.dx, " surface ",
                    std::string{ model.surface( surface.id() ).name() } ) );
                const auto* found = intersection_of( pillar, surface.id() );
                if( shift.from_line )
                {
                    ASSERT_NE( found, nullptr );
                    EXPECT_EQ( found->point.value( 0 ), pillar.top.value( 0 ) );
                    EXPECT_EQ( found->point.value( 1 ), pillar.top.value( 1 ) );
                    EXPECT_EQ( found->point.value( 2 ), line_z );
                    continue;
                }
                // Off the line, a surface on the other side of it is not met.
                const auto expected = internal::trace_surface_along_pillar(
                    context, surface.id() );
                if( !expected )
                {
                    EXPECT_EQ( found, nullptr );
                    continue;
                }
                ASSERT_NE( found, nullptr );
                EXPECT_EQ( found->point, *expected );
            }
        }
    }

    // A corner under an inner vertex gives its exact point, x and y
    // included, to every surface at its lines and every surface embedding
    // it, even where tracing would find another height.
    TEST( DefinePillar, CornerGivesItsExactPoint )
    {
        test::PillarStageFixture fixture{ one_fault_model() };
        const auto trace = inner_fault_trace_vertex( fixture );
        ASSERT_TRUE( trace );
        const auto& model = fixture.sample.model;
        const auto& corner = *model.corners().begin();
        {
            internal::BackgroundSurfaceBuilder builder{
                fixture.plan.background
            };
            builder.add_macro_vertex_info( { corner.id(), 0 }, trace->vertex );
        }
        const auto pillar = fixture.pillar( trace->vertex );
        const auto& corner_point = corner.mesh().point( 0 );
        index_t nb_checked{ 0 };
        for( const auto& line : model.incidences( corner.id() ) )
        {
            for( const auto& surface : model.incidences( line.id() ) )
            {
                // Side walls are in no list of the pillar.
                if( internal::is_in_collection_of_type(
                        model, surface.id(), "ModelBoundary" )
                    && !is_top_surface( fixture, surface.id() )
                    && std::find( fixture.sample.bottom_surfaces.begin(),
                           fixture.sample.bottom_surfaces.end(), surface.id() )
                           == fixture.sample.bottom_surfaces.end() )
                {
                    continue;
                }
                const auto* found = intersection_of( pillar, surface.id() );
                ASSERT_NE( found, nullptr );
                EXPECT_EQ( found->point, corner_point );
                nb_checked++;
            }
        }
        EXPECT_GT( nb_checked, 0 );
    }

    TEST( DefinePillar, SurfaceInTwoGroupsGetsTwoIdenticalEntries )
    {
        test::PillarStageFixture fixture{ flat_layer_cake() };
        auto order = fixture.order;
        order.push_back( order.front() );
        auto context = fixture.pillars();
        context.surface_groups_order = order;
        const auto& plan_view = *fixture.plan.surface;
        for( index_t vertex = 0; vertex < plan_view.nb_vertices(); vertex++ )
        {
            const auto pillar = internal::define_pillar(
                context, vertex, fixture.top_z, fixture.bottom_z );
            std::vector< PillarIntersection > entries;
            for( const auto& intersection : pillar.intersections )
            {
                if( intersection.surface == order.front().front() )
                {
                    entries.push_back( intersection );
                }
            }
            ASSERT_EQ( entries.size(), 2 ) << "vertex " << vertex;
            EXPECT_EQ( entries[0], entries[1] );
        }
    }

    TEST( DefinePillar, PillarOutsideEveryFootprintMeetsNothing )
    {
        const test::PillarStageFixture fixture{ one_fault_model() };
        Pillar pillar{ 0, Point3D{ { -50, -50, fixture.top_z } }, {}, {} };
        const internal::PillarContext context{ fixture.pillars(), pillar,
            { pillar.top, Point3D{ { -50, -50, fixture.bottom_z } } } };
        internal::complete_pillar_intersections( context, {} );
        EXPECT_TRUE( pillar.intersections.empty() );
    }

    namespace
    {
        struct PillarCase
        {
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
        };

        class PillarsOnSamples : public testing::TestWithParam< PillarCase >
        {
        protected:
            test::PillarStageFixture fixture() const
            {
                auto parameters = small_sample_parameters(
                    GetParam().nb_horizons, GetParam().nb_faults );
                parameters.resolution.target_top_triangles =
                    GetParam().target_top_triangles;
                return test::PillarStageFixture{ build_sample_model(
                    parameters ) };
            }
        };

        std::string case_name(
            const testing::TestParamInfo< PillarCase >& info )
        {
            return absl::StrCat( "H", info.param.nb_horizons, "_F",
                info.param.nb_faults, "_T", info.param.target_top_triangles );
        }
    } // namespace

    // Following the surface groups order, every pillar goes down: its
    // points are in non-increasing z, each at the pillar's x and y unless it
    // comes from a corner.
    TEST_P( PillarsOnSamples, EveryPillarGoesDown )
    {
        const auto stage = fixture();
        const auto& plan_view = *stage.plan.surface;
        for( index_t vertex = 0; vertex < plan_view.nb_vertices(); vertex++ )
        {
            const auto pillar = stage.pillar( vertex );
            ASSERT_FALSE( pillar.intersections.empty() ) << "vertex " << vertex;
            EXPECT_TRUE(
                is_top_surface( stage, pillar.intersections.front().surface ) );
            for( std::size_t entry = 1; entry < pillar.intersections.size();
                 entry++ )
            {
                EXPECT_GE( pillar.intersections[entry - 1].point.value( 2 ),
                    pillar.intersections[entry].point.value( 2 ) - 1e-9 )
                    << "vertex " << vertex << " entry " << entry;
            }
            if( !plan_view.is_vertex_on_border( vertex ) )
            {
                EXPECT_TRUE( pillar.lines.empty() );
            }
        }
    }

    // Border vertices and vertices on a line touching a top surface get a
    // pillar before decimation, and no other.
    TEST_P( PillarsOnSamples, SelectsBorderAndTopLineVertices )
    {
        const auto stage = fixture();
        const auto pillars = internal::define_pillars_before_decimation(
            stage.pillars(), stage.top_z, stage.bottom_z );
        const auto& plan_view = *stage.plan.surface;
        const auto& model = stage.sample.model;
        for( index_t vertex = 0; vertex < plan_view.nb_vertices(); vertex++ )
        {
            bool on_top_line{ false };
            for( const auto& macro_edge :
                stage.plan.background.incident_macro_edges( vertex ) )
            {
                if( !model.has_line( macro_edge.mesh_id ) )
                {
                    continue;
                }
                for( const auto& surface :
                    model.incidences( macro_edge.mesh_id ) )
                {
                    on_top_line =
                        on_top_line || is_top_surface( stage, surface.id() );
                }
            }
            const auto expected =
                on_top_line || plan_view.is_vertex_on_border( vertex );
            ASSERT_EQ( pillars.contains( vertex ), expected )
                << "vertex " << vertex;
            if( expected )
            {
                EXPECT_EQ( pillars.at( vertex ), stage.pillar( vertex ) );
            }
        }
    }

    // The same meshes under other uuids (a second factory call) give the
    // same pillars, bit for bit, surface by surface name.
    TEST_P( PillarsOnSamples, SameModelUnderOtherUuidsGivesTheSamePillars )
    {
        const auto first = fixture();
        const auto second = fixture();
        ASSERT_EQ( first.plan.surface->nb_vertices(),
            second.plan.surface->nb_vertices() );
        const auto describe =
            []( const test::PillarStageFixture& stage, const Pillar& pillar )
        {
            std::string text = pillar.top.string();
            for( const auto& intersection : pillar.intersections )
            {
                absl::StrAppend( &text, " ",
                    std::string{
                        stage.sample.model.surface( intersection.surface )
                            .name() },
                    intersection.point.string() );
            }
            std::vector< std::string > lines;
            for( const auto& line : pillar.lines )
            {
                lines.emplace_back( stage.sample.model.line( line ).name() );
            }
            std::sort( lines.begin(), lines.end() );
            for( const auto& line : lines )
            {
                absl::StrAppend( &text, " ", line );
            }
            return text;
        };
        const auto first_pillars = internal::define_pillars_before_decimation(
            first.pillars(), first.top_z, first.bottom_z );
        const auto second_pillars = internal::define_pillars_before_decimation(
            second.pillars(), second.top_z, second.bottom_z );
        ASSERT_EQ( first_pillars.size(), second_pillars.size() );
        for( const auto& [vertex, pillar] : first_pillars )
        {
            ASSERT_TRUE( second_pillars.contains( vertex ) );
            EXPECT_EQ( describe( first, pillar ),
                describe( second, second_pillars.at( vertex ) ) );
        }
    }

    namespace
    {
        // Pillar positions where ties happen: the plan-view vertices, the
        // vertices of every surface mesh and the middles of their first
        // edges (shared by two triangles), at most a few hundred per mesh.
        std::vector< Point2D > tie_positions(
            const test::PillarStageFixture& stage )
        {
            std::vector< Point2D > positions;
            const auto& plan_view = *stage.plan.surface;
            for( index_t vertex = 0; vertex < plan_view.nb_vertices(); vertex++ )
            {
                positions.push_back( plan_view.point( vertex ) );
            }
            for( const auto& surface : stage.sample.model.surfaces() )
            {
                const auto& mesh = surface.mesh();
                const auto step = std::max< index_t >( 1, mesh.nb_polygons() / 200 );
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon += step )
                {
                    const auto vertices = mesh.polygon_vertices( polygon );
                    const auto& first = mesh.point( vertices[0] );
                    const auto& second = mesh.point( vertices[1] );
                    positions.push_back(
                        Point2D{ { first.value( 0 ), first.value( 1 ) } } );
                    positions.push_back( Point2D{
                        { ( first.value( 0 ) + second.value( 0 ) ) / 2,
                            ( first.value( 1 ) + second.value( 1 ) ) / 2 } } );
                }
            }
            return positions;
        }
    } // namespace

    // One walk of the tree over every surface finds the same elements as the
    // trees of the surfaces one by one, and a pillar traced through it gets
    // the same point on every surface as a trace of that surface alone, at
    // shared vertices and edges too.
    TEST_P( PillarsOnSamples, TracingAllSurfacesAtOnceEqualsEachSurfaceAlone )
    {
        const auto stage = fixture();
        const auto context = stage.pillars();
        const auto& trees = stage.trees;
        for( const auto& position : tie_positions( stage ) )
        {
            const auto x = position.value( 0 );
            const auto y = position.value( 1 );
            Pillar pillar{ 0, Point3D{ { x, y, stage.top_z } }, {}, {} };
            const internal::PillarContext pillar_context{ context, pillar,
                { pillar.top, Point3D{ { x, y, stage.bottom_z } } } };

            std::vector< std::pair< index_t, index_t > > found;
            auto collect = [&found]( index_t mesh, index_t element )
            {
                found.emplace_back( mesh, element );
            };
            trees.compute_segment_mesh_element_intersections(
                pillar_context.segment, collect );
            std::sort( found.begin(), found.end() );
            std::vector< std::pair< index_t, index_t > > expected;
            for( index_t mesh = 0; mesh < trees.mesh_trees.size(); mesh++ )
            {
                auto add = [&expected, mesh]( index_t element )
                {
                    expected.emplace_back( mesh, element );
                };
                trees.mesh_trees[mesh].compute_segment_element_bbox_intersections(
                    pillar_context.segment, add );
            }
            std::sort( expected.begin(), expected.end() );
            ASSERT_EQ( found, expected ) << position.string();

            internal::complete_pillar_intersections( pillar_context, {} );
            std::vector< PillarIntersection > alone;
            const auto add_alone = [&]( const uuid& surface )
            {
                if( const auto point = internal::trace_surface_along_pillar(
                        pillar_context, surface ) )
                {
                    alone.push_back( { surface, *point } );
                }
            };
            internal::for_each_listed_surface( context, add_alone );
            ASSERT_EQ( pillar.intersections, alone ) << position.string();
        }
    }

    INSTANTIATE_TEST_SUITE_P( FactoryModels, PillarsOnSamples,
        testing::Values( PillarCase{ 1, 0, 24 }, PillarCase{ 2, 1, 60 },
            PillarCase{ 3, 2, 200 }, PillarCase{ 5, 2, 400 } ),
        case_name );
} // namespace brevane
