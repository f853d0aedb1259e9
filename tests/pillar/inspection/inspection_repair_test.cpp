#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <tessark/inspection/model_validation.h>

#include <samples/small_sample_models.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/repair_pillar_model_input.h>

#include "support/inspection_fixtures.h"

namespace brevane
{
    namespace
    {
        // The position of every corner, line and surface vertex, component
        // by component in model order.
        std::vector< Point3D > all_positions( const BRep& model )
        {
            std::vector< Point3D > positions;
            for( const auto& corner : model.corners() )
            {
                for( index_t v = 0; v < corner.mesh().nb_vertices(); v++ )
                {
                    positions.push_back( corner.mesh().point( v ) );
                }
            }
            for( const auto& line : model.lines() )
            {
                for( index_t v = 0; v < line.mesh().nb_vertices(); v++ )
                {
                    positions.push_back( line.mesh().point( v ) );
                }
            }
            for( const auto& surface : model.surfaces() )
            {
                for( index_t v = 0; v < surface.mesh().nb_vertices(); v++ )
                {
                    positions.push_back( surface.mesh().point( v ) );
                }
            }
            return positions;
        }

        Point3D component_position(
            const BRep& model, const ComponentMeshVertex& vertex )
        {
            const auto& type = vertex.component_id.type();
            const auto& id = vertex.component_id.id();
            if( type == component_types::corner() )
            {
                return model.corner( id ).mesh().point( vertex.vertex );
            }
            if( type == component_types::line() )
            {
                return model.line( id ).mesh().point( vertex.vertex );
            }
            return model.surface( id ).mesh().point( vertex.vertex );
        }

        bool is_on_top( const SampleModel& sample, index_t unique )
        {
            for( const auto& vertex :
                sample.model.component_mesh_vertices( unique ) )
            {
                if( std::find( sample.top_surfaces.begin(),
                        sample.top_surfaces.end(), vertex.component_id.id() )
                    != sample.top_surfaces.end() )
                {
                    return true;
                }
            }
            return false;
        }

        // Pushes the first border vertex of each named wall that is not on
        // the topography one unit out of the box along y (the walls are on
        // the y sides).
        void push_walls_out( SampleModel& sample,
            std::initializer_list< std::string_view > walls )
        {
            for( const auto name : walls )
            {
                const auto& wall = test::surface_named( sample.model, name );
                const auto border = test::border_vertices( wall.mesh() );
                const auto found = std::find_if( border.begin(), border.end(),
                    [&]( index_t candidate )
                    {
                        return !is_on_top(
                            sample, sample.model.unique_vertex(
                                        { wall.component_id(), candidate } ) );
                    } );
                TESSARK_EXCEPTION( found != border.end(),
                    "Every border vertex of ", name, " is on the topography" );
                const auto vertex = *found;
                auto moved = wall.mesh().point( vertex );
                const auto outwards = moved.value( 1 ) < 30 ? -1. : 1.;
                moved.set_value( 1, moved.value( 1 ) + outwards );
                test::move_unique_vertex( sample.model,
                    sample.model.unique_vertex(
                        { wall.component_id(), vertex } ),
                    moved );
            }
        }
    } // namespace

    TEST( RepairPillarModelInput, moves_every_reported_vertex_onto_the_border )
    {
        auto sample = two_faults_model();
        ASSERT_TRUE( validate_model( sample.model ).is_valid() );
        push_walls_out( sample,
            { "side_y_min_block_0_layer_1", "side_y_max_block_2_layer_0",
                "side_y_min_block_1_layer_2" } );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        const auto before = builder.is_model_construction_possible();
        ASSERT_EQ( before.points_too_far.nb_issues(), 3u )
            << before.points_too_far.string();

        repair_pillar_model_input( sample.model, before );

        for( const auto& issue : before.points_too_far.issues )
        {
            const auto& vertices =
                sample.model.component_mesh_vertices( issue.unique_vertex );
            EXPECT_GE( vertices.size(), 2u );
            for( const auto& vertex : vertices )
            {
                EXPECT_EQ(
                    component_position( sample.model, vertex ), issue.point )
                    << vertex.string();
            }
        }
        const auto& after = builder.is_model_construction_possible();
        EXPECT_EQ( after.points_too_far.string(),
            "no issues with Points too far from topography boundaries.\n" );
        const auto validation = validate_model( sample.model );
        EXPECT_TRUE( validation.is_valid() ) << validation.string();
    }

    TEST(
        RepairPillarModelInput, a_result_without_points_issues_changes_nothing )
    {
        auto sample = one_fault_model();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        // Other kinds of issue are left to the user.
        auto result = builder.is_model_construction_possible();
        result.multi_z.issues.push_back( sample.top_surfaces.front() );
        result.multi_z.messages.push_back( "folded" );
        const auto positions = all_positions( sample.model );
        repair_pillar_model_input( sample.model, result );
        EXPECT_EQ( all_positions( sample.model ), positions );
    }

    TEST(
        RepairPillarModelInput, refuses_unknown_unique_vertices_before_moving )
    {
        test::WalledBox box;
        const auto positions = all_positions( box.model );
        PillarStructuralModelInspectionResult result;
        result.points_too_far.issues.push_back(
            { Point3D{ { 1, 2, 3 } }, 1, 0 } );
        result.points_too_far.issues.push_back(
            { Point3D{ { 1, 2, 3 } }, 1, box.model.nb_unique_vertices() } );
        result.points_too_far.messages.assign( 2, "moved" );
        EXPECT_THAT(
            [&]
            {
                repair_pillar_model_input( box.model, result );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( concatenate( "Issue 1 names unique vertex ",
                    box.model.nb_unique_vertices(), ", but the model has ",
                    box.model.nb_unique_vertices(), " unique vertices" ) ) ) );
        EXPECT_EQ( all_positions( box.model ), positions );
    }
} // namespace brevane

namespace brevane
{
    // An inspection kept from before a change of the model (a build, or
    // another wall pushed out) is not of the model as it is now: the repair
    // refuses it and moves nothing.
    TEST( RepairPillarModelInput, refuses_an_inspection_of_the_model_as_it_was )
    {
        for( const std::string_view change : { "build", "edit" } )
        {
            SCOPED_TRACE( change );
            auto sample = two_faults_model();
            const auto edit = change == "edit";
            if( edit )
            {
                push_walls_out( sample, { "side_y_min_block_0_layer_1" } );
            }
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            const auto stale = builder.is_model_construction_possible();
            ASSERT_EQ( stale.points_too_far.nb_issues(), edit ? 1u : 0u );
            if( edit )
            {
                push_walls_out( sample, { "side_y_max_block_2_layer_0" } );
            }
            else
            {
                static_cast< void >( builder.build( {} ) );
            }
            const auto positions = all_positions( sample.model );
            EXPECT_THAT(
                [&]
                {
                    repair_pillar_model_input( sample.model, stale );
                },
                testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                    "The inspection is not of the model as it is now" ) ) );
            EXPECT_EQ( all_positions( sample.model ), positions );
        }
    }
} // namespace brevane

namespace brevane
{
    // A horizon named as the top: the inspection finds side vertices off
    // the horizon's border, but the repair refuses an inspection made of
    // input no build can use, and moves nothing.
    TEST( RepairPillarModelInput, refuses_an_inspection_with_a_wrong_top )
    {
        auto sample = two_faults_model();
        const auto& wrong_top = sample.horizons.front().items;
        PillarStructuralModelBuilder builder{ sample.model, wrong_top,
            sample.bottom_surfaces };
        const auto inspection = builder.is_model_construction_possible();
        ASSERT_FALSE( inspection.input_problems.empty() );
        const auto positions = all_positions( sample.model );
        EXPECT_THAT(
            [&]
            {
                repair_pillar_model_input( sample.model, inspection );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( "no build can use as given" ),
                testing::HasSubstr( "bounds 2 blocks" ) ) ) );
        EXPECT_EQ( all_positions( sample.model ), positions );
    }
} // namespace brevane
