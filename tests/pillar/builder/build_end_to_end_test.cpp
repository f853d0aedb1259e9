#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <set>

#include <absl/strings/str_cat.h>

#include <tessark/inspection/model_validation.h>
#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/model/structural_model_builder.h>

#include <pillar/pillar_structural_model_builder.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "pillar/support/rebuilt_model_checks.h"

namespace brevane
{
    namespace
    {
        struct BuildCase
        {
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
            double hills_amplitude;
            // Faults dipping alternately towards x max and x min: a graben
            // or a horst between each pair.
            bool alternate_dips{ false };
        };

        std::string case_name( const testing::TestParamInfo< BuildCase >& info )
        {
            return absl::StrCat( "H", info.param.nb_horizons, "_F",
                info.param.nb_faults, "_T", info.param.target_top_triangles,
                info.param.hills_amplitude == 0 ? "_flat" : "",
                info.param.alternate_dips ? "_alternate" : "" );
        }

        class BuildOnSamples : public testing::TestWithParam< BuildCase >
        {
        };

        std::pair< double, double > plan_position( const Point3D& point )
        {
            return { point.value( 0 ), point.value( 1 ) };
        }
    } // namespace

    // The whole build on factory models: a valid model out, one slice
    // collection per group plus the top and the bottom, every rebuilt
    // surface meshed, and pillar links that are mutual inverses.
    TEST_P( BuildOnSamples, GivesAValidPillarModel )
    {
        const auto& build_case = GetParam();
        auto parameters = small_sample_parameters(
            build_case.nb_horizons, build_case.nb_faults );
        parameters.resolution.target_top_triangles =
            build_case.target_top_triangles;
        parameters.topography.hills_amplitude = build_case.hills_amplitude;
        if( build_case.alternate_dips )
        {
            for( std::size_t fault = 0; fault < parameters.faults.size();
                 fault++ )
            {
                parameters.faults[fault].dips_towards_x_max = fault % 2 == 1;
            }
        }
        auto sample = build_sample_model( parameters );
        const auto input = sample.model.clone();
        const auto input_trees = create_surface_meshes_aabb_trees( input );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        const auto result = builder.build( {} );

        const auto report = validate_model( sample.model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
        const auto nb_groups =
            build_case.nb_horizons * ( build_case.nb_faults + 1 )
            + build_case.nb_faults;
        EXPECT_EQ( result.slice_collection_order.size(), nb_groups + 2 );
        for( const auto& surface : sample.model.surfaces() )
        {
            EXPECT_GT( surface.mesh().nb_polygons(), 0 ) << surface.name();
        }
        EXPECT_GT( sample.model.nb_lines(), 0 );
        EXPECT_GT( sample.model.nb_corners(), 0 );
        EXPECT_EQ( result.unique_vertex_below.size(),
            result.unique_vertex_above.size() );
        for( const auto& [upper, lower] : result.unique_vertex_below )
        {
            ASSERT_TRUE( result.unique_vertex_above.contains( lower ) );
            EXPECT_EQ( result.unique_vertex_above.at( lower ), upper );
        }
        if( build_case.nb_horizons > 0 || build_case.nb_faults > 0 )
        {
            EXPECT_FALSE( result.unique_vertex_below.empty() );
        }
        for( index_t unique = 0; unique < sample.model.nb_unique_vertices();
             unique++ )
        {
            EXPECT_FALSE(
                sample.model.component_mesh_vertices( unique ).empty() );
        }

        // Every pillar has a node on the top: the rebuilt top surfaces'
        // vertices are the pillars' positions. Each rebuilt horizon vertex
        // stands on a pillar, on its input horizon within 1% of the layer
        // thickness.
        std::set< std::pair< double, double > > pillar_positions;
        for( const auto& id : sample.top_surfaces )
        {
            const auto& mesh = sample.model.surface( id ).mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                pillar_positions.insert(
                    plan_position( mesh.point( vertex ) ) );
            }
        }
        const auto thickness =
            ( parameters.box.top_z - parameters.box.bottom_z )
            / ( build_case.nb_horizons + 1 );
        for( const auto& horizon : sample.horizons )
        {
            for( const auto& id : horizon.items )
            {
                const auto& mesh = sample.model.surface( id ).mesh();
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    const auto& point = mesh.point( vertex );
                    EXPECT_TRUE(
                        pillar_positions.contains( plan_position( point ) ) )
                        << point.string();
                    const auto input_height =
                        test::height_of( input, input_trees, id, point );
                    ASSERT_TRUE( input_height ) << point.string();
                    EXPECT_LE( std::abs( *input_height - point.value( 2 ) ),
                        0.01 * thickness )
                        << point.string();
                }
            }
        }
    }

    INSTANTIATE_TEST_SUITE_P( FactoryModels, BuildOnSamples,
        testing::Values( BuildCase{ 1, 0, 24, 0 }, BuildCase{ 0, 0, 24, 2 },
            BuildCase{ 0, 1, 60, 2 }, BuildCase{ 0, 2, 200, 0 },
            // The bottom pieces on each side of a fault meet on a line the
            // coarse plan view does not trace.
            BuildCase{ 0, 2, 24, 2 }, BuildCase{ 1, 1, 24, 2 },
            BuildCase{ 1, 2, 800, 0 }, BuildCase{ 2, 0, 200, 2 },
            BuildCase{ 2, 1, 200, 2 }, BuildCase{ 2, 1, 1500, 0 },
            BuildCase{ 2, 2, 200, 2 }, BuildCase{ 3, 0, 800, 0 },
            BuildCase{ 3, 2, 800, 2 }, BuildCase{ 4, 1, 200, 2 },
            BuildCase{ 5, 2, 2000, 2 }, BuildCase{ 5, 0, 60, 0 },
            BuildCase{ 2, 2, 200, 2, true }, BuildCase{ 3, 3, 800, 2, true } ),
        case_name );
} // namespace brevane

namespace brevane
{
    namespace
    {
        struct VariantCase
        {
            std::string name;
            std::function< void( SampleModelParameters& ) > parameters;
            std::function< void( SampleModel& ) > edit;
        };

        class BuildOnModelVariants
            : public testing::TestWithParam< VariantCase >
        {
        };
    } // namespace

    // Models a geomodeller may hand in beside the plain box: a reverse
    // fault, a bulging bottom, regular meshes, and a topography tagged as a
    // horizon rather than a model boundary.
    TEST_P( BuildOnModelVariants, GivesAValidPillarModel )
    {
        const auto& variant = GetParam();
        auto parameters = small_sample_parameters( 2, 1 );
        parameters.resolution.target_top_triangles = 200;
        variant.parameters( parameters );
        auto sample = build_sample_model( parameters );
        variant.edit( sample );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        ASSERT_EQ( builder.is_model_construction_possible().string(),
            PillarStructuralModelInspectionResult{}.string() );
        const auto result = builder.build( {} );
        const auto report = validate_model( sample.model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
        EXPECT_GE( result.slice_collection_order.size(), 2 * 2 + 1 + 2 );
    }

    INSTANTIATE_TEST_SUITE_P( Factory, BuildOnModelVariants,
        testing::Values( VariantCase{ "reverse_fault",
                             []( SampleModelParameters& parameters )
                             {
                                 parameters.faults.front().vertical_throw = -3;
                             },
                             []( SampleModel& ) {} },
            VariantCase{ "bulging_bottom",
                []( SampleModelParameters& parameters )
                {
                    parameters.bottom_amplitude = 5;
                },
                []( SampleModel& ) {} },
            VariantCase{ "regular_meshes",
                []( SampleModelParameters& parameters )
                {
                    parameters.resolution.jitter = 0;
                },
                []( SampleModel& ) {} },
            VariantCase{ "topography_tagged_as_horizon",
                []( SampleModelParameters& ) {},
                []( SampleModel& sample )
                {
                    StructuralModelBuilder builder{ sample.model };
                    const auto& horizon =
                        sample.model.horizon( builder.add_horizon() );
                    for( const auto& id : sample.top_surfaces )
                    {
                        builder.remove_relation( id, sample.top_boundary );
                        builder.add_surface_in_horizon(
                            sample.model.surface( id ), horizon );
                    }
                } } ),
        []( const testing::TestParamInfo< VariantCase >& info )
        {
            return info.param.name;
        } );

    // A vertical fault is met along a segment by the pillars on its trace,
    // which the build does not handle: the inspection lists it among the
    // problems no build gets past, and the build refuses it before its first
    // stage, naming the fault's piece.
    TEST( BuildOnModelVariants, VerticalFaultIsRefusedLeavingTheModel )
    {
        auto parameters = small_sample_parameters( 2, 1 );
        parameters.faults.front().dip_degrees = 90;
        auto sample = build_sample_model( parameters );
        const auto nb_lines = sample.model.nb_lines();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        const auto& problems =
            builder.is_model_construction_possible().input_problems;
        ASSERT_EQ( problems.size(), 1 );
        EXPECT_THAT( problems.front(),
            testing::AllOf( testing::HasSubstr( "\"fault_1_piece_" ),
                testing::HasSubstr( "of fault \"fault_1\"" ),
                testing::HasSubstr( "vertical faults are not built yet" ) ) );
        EXPECT_THAT(
            [&builder]
            {
                (void)builder.build( {} );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( "stands vertical" ) ) );
        EXPECT_EQ( sample.model.nb_lines(), nb_lines );
        EXPECT_TRUE( validate_model( sample.model ).is_valid() );
    }

    // A fault steep but not vertical builds.
    TEST( BuildOnModelVariants, SteepFaultBuilds )
    {
        auto parameters = small_sample_parameters( 2, 1 );
        parameters.faults.front().dip_degrees = 88;
        auto sample = build_sample_model( parameters );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        EXPECT_TRUE(
            builder.is_model_construction_possible().input_problems.empty() );
        static_cast< void >( builder.build( {} ) );
        EXPECT_TRUE( validate_model( sample.model ).is_valid() );
    }
} // namespace brevane
