#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <absl/strings/str_cat.h>

#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_modifier.h>

#include <samples/small_sample_models.h>

#include "pillar/support/pillar_stage_fixture.h"
#include "top_surface/model_mesh_reset.h"
#include "top_surface/pillar_update.h"

namespace brevane
{
    namespace
    {
        Point3D at_height( const Pillar& pillar, double z )
        {
            return Point3D{ { pillar.top.value( 0 ), pillar.top.value( 1 ), z } };
        }

        struct SliceCase
        {
            std::string name;
            // Heights of the entries (first horizon, second horizon, first
            // horizon again); NaN leaves an entry out.
            std::array< double, 3 > heights;
            bool fails;
        };
    } // namespace

    // A pillar meeting one slice at two heights is refused; at one point, or
    // two slices at one point (a pinch), it is not.
    TEST( CheckPillarSlices, RefusesTwoHeightsInOneSlice )
    {
        const test::PillarStageFixture fixture{ flat_layer_cake() };
        const auto& order = fixture.order;
        ASSERT_EQ( order.size(), 2 );
        const auto nan = std::numeric_limits< double >::quiet_NaN();
        const std::vector< SliceCase > cases{
            { "one point per slice", { 30, 20, nan }, false },
            { "same slice twice at one point", { 30, 20, 30 }, false },
            { "same slice twice at two heights", { 30, 20, 25 }, true },
            { "two slices at one point", { 30, 30, nan }, false },
            { "a point taken over by another slice", { 30, 30, 25 }, false },
        };
        for( const auto& slice_case : cases )
        {
            SCOPED_TRACE( slice_case.name );
            auto pillar = fixture.pillar( 0 );
            std::vector< PillarIntersection > intersections{
                pillar.intersections.front() };
            const std::array< uuid, 3 > surfaces{ order[0].front(),
                order[1].front(), order[0].front() };
            for( std::size_t entry = 0; entry < 3; entry++ )
            {
                if( !std::isnan( slice_case.heights[entry] ) )
                {
                    intersections.push_back( { surfaces[entry],
                        at_height( pillar, slice_case.heights[entry] ) } );
                }
            }
            pillar.intersections = intersections;
            const std::vector< Pillar > pillars{ fixture.pillar( 1 ), pillar };
            if( slice_case.fails )
            {
                EXPECT_THAT(
                    [&] {
                        internal::check_pillar_slices( fixture.pillars(), pillars );
                    },
                    testing::ThrowsMessage< TessarkDataException >(
                        testing::StartsWith( "Multi z detected between "
                                             "surfaces belonging to the same "
                                             "group of surfaces: \"" ) ) );
            }
            else
            {
                EXPECT_NO_THROW(
                    internal::check_pillar_slices( fixture.pillars(), pillars ) );
            }
        }
    }

    TEST( CheckPillarSlices, PillarsOfSampleModelsPass )
    {
        for( const auto nb_faults : { 0u, 1u, 2u } )
        {
            const test::PillarStageFixture fixture{ build_sample_model(
                small_sample_parameters( 3, nb_faults ) ) };
            const auto pillars = internal::collect_pillars(
                fixture.pillars(), {}, fixture.top_z, fixture.bottom_z );
            EXPECT_NO_THROW(
                internal::check_pillar_slices( fixture.pillars(), pillars ) );
        }
    }

    TEST( CollectPillars, OnePillarPerVertexKeepingThoseOfTheMap )
    {
        const test::PillarStageFixture fixture{ one_fault_model() };
        PillarMap map;
        auto kept = fixture.pillar( 3 );
        kept.intersections.pop_back();
        map.emplace( 3, kept );
        const auto pillars = internal::collect_pillars(
            fixture.pillars(), map, fixture.top_z, fixture.bottom_z );
        ASSERT_EQ( pillars.size(), fixture.plan.surface->nb_vertices() );
        for( index_t vertex = 0; vertex < pillars.size(); vertex++ )
        {
            EXPECT_EQ( pillars[vertex],
                vertex == 3 ? kept : fixture.pillar( vertex ) );
        }
    }

    namespace
    {
        // A plan view being changed, as during decimation.
        struct Modification
        {
            explicit Modification( test::PillarStageFixture& fixture )
                : surface_builder(
                    TriangulatedSurfaceBuilder< 2 >::create( *fixture.plan.surface ) ),
                  background_builder( fixture.plan.background ),
                  modifier( fixture.plan.background, background_builder,
                      *surface_builder )
            {
            }

            std::unique_ptr< TriangulatedSurfaceBuilder< 2 > > surface_builder;
            internal::BackgroundSurfaceBuilder background_builder;
            internal::BackgroundSurfaceModifier modifier;
        };

        // An inner vertex off every trace, freed of its records as the
        // decimation stage frees such vertices, so that the modifier may
        // move or remove it.
        index_t free_vertex( test::PillarStageFixture& fixture )
        {
            const auto& surface = *fixture.plan.surface;
            auto& background = fixture.plan.background;
            for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
            {
                if( surface.is_vertex_on_border( vertex )
                    || !background.incident_macro_edges( vertex ).empty() )
                {
                    continue;
                }
                internal::BackgroundSurfaceBuilder builder{ background };
                const auto records = background.macro_vertices( vertex );
                for( const auto& record : records )
                {
                    builder.remove_macro_vertex_info( record, vertex );
                }
                return vertex;
            }
            throw std::runtime_error{ "no free vertex" };
        }
    } // namespace

    TEST( UpdatePillarsAfterDecimation, KeepsDropsAndCompletesPillars )
    {
        test::PillarStageFixture fixture{ one_fault_model() };
        auto pillars = internal::define_pillars_before_decimation(
            fixture.pillars(), fixture.top_z, fixture.bottom_z );
        const auto moved = free_vertex( fixture );
        pillars.emplace( moved, fixture.pillar( moved ) );
        // A trace pillar that lost one of the surfaces of its lines.
        index_t trace_vertex{ NO_ID };
        for( const auto& [vertex, pillar] : pillars )
        {
            if( !fixture.plan.surface->is_vertex_on_border( vertex )
                && internal::surfaces_at_vertex( fixture.pillars(), vertex ).size()
                       >= 2
                && ( trace_vertex == NO_ID || vertex < trace_vertex ) )
            {
                trace_vertex = vertex;
            }
        }
        ASSERT_NE( trace_vertex, NO_ID );
        const auto surfaces =
            internal::surfaces_at_vertex( fixture.pillars(), trace_vertex );
        auto& damaged = pillars.at( trace_vertex );
        const auto lost = surfaces.back();
        std::erase_if( damaged.intersections,
            [&lost]( const PillarIntersection& intersection ) {
                return intersection.surface == lost;
            } );

        Modification modification{ fixture };
        auto position = fixture.plan.surface->point( moved );
        const auto neighbour =
            fixture.plan.surface->point( fixture.plan.surface->vertices_around_vertex(
                moved )[0] );
        position = ( position + neighbour ) * 0.5;
        ASSERT_TRUE( modification.modifier.is_move_vertex_valid( moved, position ) );
        modification.modifier.move_vertex( moved, position );

        const auto updated = internal::update_pillars_after_decimation(
            fixture.pillars(), pillars, modification.modifier );
        EXPECT_FALSE( updated.contains( moved ) );
        EXPECT_EQ( updated.size(), pillars.size() - 1 );
        for( const auto& [vertex, pillar] : pillars )
        {
            if( vertex == moved || vertex == trace_vertex )
            {
                continue;
            }
            EXPECT_EQ( updated.at( vertex ), pillar );
        }
        const auto& completed = updated.at( trace_vertex );
        EXPECT_TRUE( completed.lines.empty() );
        const auto& reference = std::find_if( damaged.intersections.begin(),
            damaged.intersections.end(), [&]( const PillarIntersection& entry ) {
                return entry.surface == surfaces.front();
            } )->point;
        const auto found = std::find_if( completed.intersections.begin(),
            completed.intersections.end(), [&]( const PillarIntersection& entry ) {
                return entry.surface == lost;
            } );
        ASSERT_NE( found, completed.intersections.end() );
        EXPECT_EQ( found->point, reference );
        EXPECT_EQ( completed.intersections.size(),
            damaged.intersections.size() + 1 );
    }

    // A trace pillar that meets none of the surfaces of its lines has no
    // point to give them: the update names it instead of inventing one.
    TEST( UpdatePillarsAfterDecimation, PillarMeetingNoSurfaceOfItsLinesIsNamed )
    {
        test::PillarStageFixture fixture{ one_fault_model() };
        auto pillars = internal::define_pillars_before_decimation(
            fixture.pillars(), fixture.top_z, fixture.bottom_z );
        index_t trace_vertex{ NO_ID };
        for( const auto& [vertex, pillar] : pillars )
        {
            if( !fixture.plan.surface->is_vertex_on_border( vertex )
                && !internal::surfaces_at_vertex( fixture.pillars(), vertex )
                        .empty()
                && ( trace_vertex == NO_ID || vertex < trace_vertex ) )
            {
                trace_vertex = vertex;
            }
        }
        ASSERT_NE( trace_vertex, NO_ID );
        const auto surfaces =
            internal::surfaces_at_vertex( fixture.pillars(), trace_vertex );
        std::erase_if( pillars.at( trace_vertex ).intersections,
            [&surfaces]( const PillarIntersection& intersection ) {
                return std::find( surfaces.begin(), surfaces.end(),
                           intersection.surface )
                       != surfaces.end();
            } );
        Modification modification{ fixture };
        EXPECT_THAT(
            [&]
            {
                static_cast< void >( internal::update_pillars_after_decimation(
                    fixture.pillars(), pillars, modification.modifier ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( absl::StrCat(
                    "(plan-view vertex ", trace_vertex, ")" ) ),
                testing::HasSubstr( surfaces.front().string() ) ) ) );
    }

    // A vertex merged into a neighbour follows it: its pillar no longer
    // stands there and is dropped, the neighbour's own pillar stays.
    TEST( UpdatePillarsAfterDecimation, MergedVertexLosesItsPillar )
    {
        test::PillarStageFixture fixture{ one_fault_model() };
        const auto removed = free_vertex( fixture );
        PillarMap pillars;
        pillars.emplace( removed, fixture.pillar( removed ) );
        Modification modification{ fixture };
        bool collapsed{ false };
        for( const auto to : fixture.plan.surface->vertices_around_vertex( removed ) )
        {
            if( modification.modifier.is_collapse_edge_valid( removed, to ) )
            {
                modification.modifier.collapse_edge( removed, to );
                collapsed = true;
                break;
            }
        }
        ASSERT_TRUE( collapsed );
        const auto updated = internal::update_pillars_after_decimation(
            fixture.pillars(), pillars, modification.modifier );
        EXPECT_TRUE( updated.empty() );
    }

    TEST( ResetModelMeshes, SideWallsPolygonalOthersTriangulatedBlocksSolid )
    {
        auto sample = two_faults_model();
        const internal::TopSurfaceContext context{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        StructuralModelBuilder builder{ sample.model };
        internal::reset_model_meshes( context, builder );
        for( const auto& surface : sample.model.surfaces() )
        {
            SCOPED_TRACE( std::string{ surface.name() } );
            const auto& mesh = surface.mesh();
            EXPECT_EQ( mesh.nb_vertices(), 0 );
            const auto side_wall =
                internal::is_model_boundary_surface( context, surface )
                && !internal::is_top_or_bottom_surface( context, surface );
            EXPECT_EQ( dynamic_cast< const PolygonalSurface< 3 >* >( &mesh )
                           != nullptr,
                side_wall );
            EXPECT_EQ( dynamic_cast< const TriangulatedSurface< 3 >* >( &mesh )
                           != nullptr,
                !side_wall );
        }
        for( const auto& block : sample.model.blocks() )
        {
            EXPECT_NE(
                dynamic_cast< const HybridSolid< 3 >* >( &block.mesh() ), nullptr );
        }
        for( index_t unique = 0; unique < sample.model.nb_unique_vertices();
             unique++ )
        {
            for( const auto& vertex :
                sample.model.component_mesh_vertices( unique ) )
            {
                EXPECT_NE( vertex.component_id.type().get(), "Surface" );
            }
        }
    }
} // namespace brevane
