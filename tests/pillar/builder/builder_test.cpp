#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <absl/strings/str_cat.h>

#include <tessark/basic/logger.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/pillar_structural_model_exception.h>
#include <pillar/varnholt_pillar_library.h>
#include <halven/background/background_surface.h>
#include <halven/background/background_surface_library.h>

#include <samples/small_sample_models.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // The tetrahedron with its four faces tagged as model boundaries, so
        // that an inspection finds nothing to refuse.
        struct TaggedTetrahedron : test::Tetrahedron
        {
            TaggedTetrahedron()
            {
                StructuralModelBuilder builder{ model };
                const auto& boundary = builder.add_model_boundary();
                for( const auto& surface : surfaces )
                {
                    builder.add_surface_in_model_boundary(
                        model.surface( surface ),
                        model.model_boundary( boundary ) );
                }
            }
        };
    } // namespace

    namespace
    {
        // What a caller can see of a model: its components by uuid, their
        // mesh sizes and points, and its unique vertices.
        std::string model_snapshot( const StructuralModel& model )
        {
            std::string snapshot;
            for( const auto& corner : model.corners() )
            {
                absl::StrAppend( &snapshot, "corner ", corner.id().string(),
                    corner.mesh().point( 0 ).string(), "\n" );
            }
            for( const auto& line : model.lines() )
            {
                absl::StrAppend( &snapshot, "line ", line.id().string(), " ",
                    line.mesh().nb_vertices(), " ", line.mesh().nb_edges(),
                    "\n" );
            }
            for( const auto& surface : model.surfaces() )
            {
                const auto& mesh = surface.mesh();
                absl::StrAppend( &snapshot, "surface ", surface.id().string(),
                    " ", mesh.nb_vertices(), " ", mesh.nb_polygons() );
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    absl::StrAppend( &snapshot, mesh.point( vertex ).string(),
                        model.unique_vertex(
                            { surface.component_id(), vertex } ) );
                }
                absl::StrAppend( &snapshot, "\n" );
            }
            absl::StrAppend( &snapshot, "blocks ", model.nb_blocks(),
                " unique vertices ", model.nb_unique_vertices() );
            return snapshot;
        }

        // The trace lines of the driver while the action runs.
        std::vector< std::string > driver_lines(
            const std::function< void() >& action )
        {
            std::vector< std::string > lines;
            Logger::set_level( Logger::LEVEL::trace );
            Logger::set_sink(
                [&lines]( Logger::LEVEL level, std::string_view message )
                {
                    if( level == Logger::LEVEL::trace
                        && message.rfind(
                               "[PillarStructuralModelBuilder]: ", 0 )
                               == 0 )
                    {
                        lines.emplace_back( message );
                    }
                } );
            try
            {
                action();
            }
            catch( ... )
            {
                lines.emplace_back( "failed" );
            }
            Logger::set_sink( {} );
            Logger::set_level( Logger::LEVEL::info );
            return lines;
        }
    } // namespace

    // Eight stages, and the cells of the blocks as a ninth when the options
    // ask for them (the default).
    TEST( PillarStructuralModelBuilder, the_driver_announces_each_stage )
    {
        std::vector< std::string > stages{
            "[PillarStructuralModelBuilder]: Building final model started",
            "[PillarStructuralModelBuilder]: Finding surface groups order "
            "started",
            "[PillarStructuralModelBuilder]: Defining pillars started",
            "[PillarStructuralModelBuilder]: Decimating top surface",
            "[PillarStructuralModelBuilder]: Building each horizon surface",
            "[PillarStructuralModelBuilder]: Creating unique vertices",
            "[PillarStructuralModelBuilder]: Building model boundaries",
            "[PillarStructuralModelBuilder]: Updating model",
        };
        for( const bool add_block_mesh : { false, true } )
        {
            SCOPED_TRACE( add_block_mesh );
            auto sample = one_fault_model();
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            PillarStructuralModelOptions options;
            options.add_block_mesh = add_block_mesh;
            if( add_block_mesh )
            {
                stages.emplace_back(
                    "[PillarStructuralModelBuilder]: Building block meshes" );
            }
            EXPECT_EQ( driver_lines(
                           [&]
                           {
                               (void)builder.build( options );
                           } ),
                stages );
        }
    }

    namespace
    {
        // Edits of a clean sample that a build can only find out late.
        enum struct LateDefect
        {
            // A block outside its fault block: the slice collections of the
            // horizons at the fault cannot be completed (stage 5).
            block_outside_fault_block,
            // A horizon without its line on a side wall: the horizon is not
            // rebuilt at the border pillars that meet it (stage 6).
            missing_side_wall_line,
            // A horizon that does not bound one of its blocks: the cells
            // under it belong to no block (the cells, after the model
            // update).
            horizon_without_block
        };

        struct LateDefectCase
        {
            LateDefect defect;
            std::string failing_stage;
            std::string message;
        };

        void introduce( LateDefect defect, SampleModel& sample )
        {
            StructuralModelBuilder builder{ sample.model };
            if( defect == LateDefect::block_outside_fault_block )
            {
                const auto& fault_block = sample.fault_blocks.front();
                builder.remove_relation(
                    fault_block.items.front(), fault_block.id );
                return;
            }
            if( defect == LateDefect::horizon_without_block )
            {
                for( const auto& surface : sample.model.surfaces() )
                {
                    if( surface.name() == "horizon_1_block_0" )
                    {
                        builder.remove_relation( surface.id(),
                            sample.model.incidences( surface.id() )
                                .back()
                                .id() );
                        return;
                    }
                }
                FAIL() << "no surface horizon_1_block_0";
            }
            std::vector< uuid > lines;
            for( const auto& line : sample.model.lines() )
            {
                bool on_horizon{ false };
                bool on_wall{ false };
                for( const auto& surface :
                    sample.model.incidences( line.id() ) )
                {
                    const auto name =
                        sample.model.surface( surface.id() ).name();
                    on_horizon = on_horizon || name == "horizon_1_block_0";
                    on_wall = on_wall || name.rfind( "side_x_min", 0 ) == 0;
                }
                if( on_horizon && on_wall )
                {
                    lines.push_back( line.id() );
                }
            }
            ASSERT_EQ( lines.size(), 1 );
            builder.remove_line( sample.model.line( lines.front() ) );
        }

        class LateFailure : public testing::TestWithParam< LateDefectCase >
        {
        };
    } // namespace

    // A stage that fails after the model's meshes were reset puts the model
    // back as it was and lets the failure through unchanged.
    TEST_P( LateFailure, leaves_the_model_as_it_was )
    {
        const auto& defect_case = GetParam();
        auto sample = one_fault_model();
        introduce( defect_case.defect, sample );
        const auto before = model_snapshot( sample.model );
        const auto report_before = validate_model( sample.model ).string();
        // The caller's components stay the same objects, with their meshes.
        const auto& top = sample.model.surface( sample.top_surfaces.front() );
        const auto* top_mesh = &top.mesh();
        const auto& block = *sample.model.blocks().begin();
        const auto* corner = &*sample.model.corners().begin();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        ASSERT_EQ( builder.is_model_construction_possible().string(),
            PillarStructuralModelInspectionResult{}.string() );
        const auto lines = driver_lines(
            [&builder]
            {
                (void)builder.build( {} );
            } );
        ASSERT_EQ( lines.back(), "failed" );
        EXPECT_EQ( lines[lines.size() - 2],
            "[PillarStructuralModelBuilder]: " + defect_case.failing_stage );
        EXPECT_EQ( model_snapshot( sample.model ), before );
        EXPECT_EQ( validate_model( sample.model ).string(), report_before );
        EXPECT_EQ( &sample.model.surface( top.id() ), &top );
        EXPECT_EQ( &top.mesh(), top_mesh );
        EXPECT_EQ( &sample.model.block( block.id() ), &block );
        EXPECT_EQ( &*sample.model.corners().begin(), corner );
        PillarStructuralModelBuilder again{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        static_cast< void >( again.is_model_construction_possible() );
        EXPECT_THAT(
            [&again]
            {
                (void)again.build( {} );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( defect_case.message ) ) );
        EXPECT_EQ( model_snapshot( sample.model ), before );
    }

    INSTANTIATE_TEST_SUITE_P( Stages, LateFailure,
        testing::Values(
            LateDefectCase{ LateDefect::block_outside_fault_block,
                "Building each horizon surface", "is in no fault block" },
            LateDefectCase{ LateDefect::missing_side_wall_line,
                "Creating unique vertices", "was not rebuilt there" },
            LateDefectCase{ LateDefect::horizon_without_block,
                "Building block meshes",
                "0 blocks are bounded by both surfaces instead of one" } ),
        []( const testing::TestParamInfo< LateDefectCase >& info )
        {
            switch( info.param.defect )
            {
            case LateDefect::block_outside_fault_block:
                return std::string{ "block_outside_fault_block" };
            case LateDefect::missing_side_wall_line:
                return std::string{ "missing_side_wall_line" };
            case LateDefect::horizon_without_block:
                break;
            }
            return std::string{ "horizon_without_block" };
        } );

    TEST(
        PillarStructuralModelBuilder, reports_construction_failures_by_surface )
    {
        test::Tetrahedron tetrahedron;
        const uuid missing;
        const std::vector< uuid > not_a_surface{ missing };
        const std::vector< uuid > bottom;
        PillarStructuralModelBuilder absent{ tetrahedron.model, not_a_surface,
            bottom };
        EXPECT_THAT(
            [&absent]
            {
                (void)absent.is_model_construction_possible();
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( concatenate( "Top surface ",
                    missing.string(), " is not a surface of the model" ) ) ) );
        EXPECT_THROW( absent.build( {} ), TessarkException );

        StructuralModelBuilder model_builder{ tetrahedron.model };
        const auto& polygonal =
            model_builder.add_surface( PolygonalSurface< 3 >::create() );
        model_builder.set_name( polygonal, "quads" );
        const std::vector< uuid > quads{ polygonal };
        PillarStructuralModelBuilder wrong_kind{ tetrahedron.model, quads,
            bottom };
        EXPECT_THAT(
            [&wrong_kind]
            {
                (void)wrong_kind.is_model_construction_possible();
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( "Top surface \"quads\"" ) ) );
    }

    TEST( PillarStructuralModelBuilder, a_moved_from_builder_refuses_calls )
    {
        test::Tetrahedron tetrahedron;
        const std::vector< uuid > none;
        PillarStructuralModelBuilder builder{ tetrahedron.model, none, none };
        PillarStructuralModelBuilder moved{ std::move( builder ) };
        EXPECT_NO_THROW( (void)moved.is_model_construction_possible() );
        EXPECT_THROW(
            (void)builder.is_model_construction_possible(), TessarkException );
    }

    TEST( PillarStructuralModelBuilder,
        inspection_results_are_cached_by_reference )
    {
        TaggedTetrahedron tetrahedron;
        const std::vector< uuid > none;
        PillarStructuralModelBuilder builder{ tetrahedron.model, none, none };
        const auto& first = builder.is_model_construction_possible();
        const auto& second = builder.is_model_construction_possible();
        EXPECT_EQ( &first, &second );
        EXPECT_EQ(
            first.string(), PillarStructuralModelInspectionResult{}.string() );
    }

    TEST(
        VarnholtPillarLibrary, initialisation_registers_one_object_per_library )
    {
        VarnholtPillarLibrary::initialize();
        Singleton* first{ nullptr };
        {
            std::lock_guard< std::mutex > guard{ Singleton::lock() };
            first = Singleton::instance( typeid( VarnholtPillarLibrary ) );
            ASSERT_NE( first, nullptr );
            EXPECT_NE(
                Singleton::instance( typeid( HalvenCoreLibrary ) ), nullptr );
            EXPECT_NE(
                Singleton::instance( typeid( BackgroundSurfaceLibrary ) ),
                nullptr );
        }
        VarnholtPillarLibrary::initialize();
        std::lock_guard< std::mutex > guard{ Singleton::lock() };
        EXPECT_EQ(
            Singleton::instance( typeid( VarnholtPillarLibrary ) ), first );
        EXPECT_TRUE( static_cast< Library* >( first )->is_initialized() );
    }

    namespace
    {
        // A clean sample with one surface added in no collection.
        SampleModel sample_with_untagged_surface()
        {
            auto sample = flat_layer_cake();
            StructuralModelBuilder builder{ sample.model };
            const auto& id = builder.add_surface();
            auto mesh =
                builder.surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    id );
            const auto first = builder.create_unique_vertices( 3 );
            const auto component = sample.model.surface( id ).component_id();
            for( index_t corner = 0; corner < 3; corner++ )
            {
                const auto vertex = mesh->create_point( Point3D{
                    { 10. + ( corner == 1 ), 10. + ( corner == 2 ), 20. } } );
                builder.set_unique_vertex(
                    { component, vertex }, first + corner );
            }
            mesh->create_triangle( { 0, 1, 2 } );
            mesh->compute_polygon_adjacencies();
            return sample;
        }
    } // namespace

    TEST( PillarStructuralModelBuilder,
        builds_whatever_an_explicit_inspection_found )
    {
        auto sample = sample_with_untagged_surface();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        ASSERT_EQ( builder.is_model_construction_possible()
                       .surfaces_collection.nb_issues(),
            1u );
        EXPECT_NO_THROW( (void)builder.build( {} ) );
    }

    TEST( PillarStructuralModelBuilder,
        a_refused_build_proceeds_when_called_again )
    {
        auto sample = sample_with_untagged_surface();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        EXPECT_THROW( builder.build( {} ), PillarStructuralModelException );
        EXPECT_NO_THROW( (void)builder.build( {} ) );
    }
} // namespace brevane

namespace brevane
{
    // The observer sees the plan view before then after decimation, with the
    // pillar vertices sorted and fewer vertices after; the groups order is
    // readable once built.
    TEST( PillarStructuralModelBuilder, shows_its_plan_view_at_both_stages )
    {
        auto sample = one_fault_model();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        EXPECT_TRUE( builder.surface_groups_order().empty() );
        std::vector< PlanViewStage > stages;
        std::vector< index_t > nb_vertices;
        builder.observe_plan_view(
            [&]( PlanViewStage stage,
                const internal::BackgroundSurface& plan_view,
                absl::Span< const index_t > pillars )
            {
                stages.push_back( stage );
                nb_vertices.push_back( plan_view.surface().nb_vertices() );
                EXPECT_TRUE( std::is_sorted( pillars.begin(), pillars.end() ) );
                EXPECT_FALSE( pillars.empty() );
            } );
        static_cast< void >( builder.build( {} ) );
        EXPECT_EQ( stages,
            ( std::vector< PlanViewStage >{ PlanViewStage::before_decimation,
                PlanViewStage::after_decimation } ) );
        ASSERT_EQ( nb_vertices.size(), 2 );
        EXPECT_LE( nb_vertices[1], nb_vertices[0] );
        EXPECT_FALSE( builder.surface_groups_order().empty() );
    }

    // What the observer throws ends the build before the model is written.
    TEST( PillarStructuralModelBuilder, an_observer_failure_leaves_the_model )
    {
        auto sample = one_fault_model();
        const auto before = model_snapshot( sample.model );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        builder.observe_plan_view(
            []( PlanViewStage stage, const internal::BackgroundSurface&,
                absl::Span< const index_t > )
            {
                if( stage == PlanViewStage::after_decimation )
                {
                    throw std::runtime_error{ "observer gave up" };
                }
            } );
        EXPECT_THROW(
            static_cast< void >( builder.build( {} ) ), std::runtime_error );
        EXPECT_EQ( model_snapshot( sample.model ), before );
    }
} // namespace brevane
