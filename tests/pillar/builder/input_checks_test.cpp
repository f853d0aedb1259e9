#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/structural_model_builder.h>

#include <pillar/pillar_structural_model_builder.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

namespace brevane
{
    namespace
    {
        // A small model, and the two lists a caller hands the builder.
        struct Input
        {
            SampleModel sample;
            std::vector< uuid > tops;
            std::vector< uuid > bottoms;
        };

        struct InputCase
        {
            std::string name;
            std::function< void( Input& ) > damage;
            // What the refusal says.
            std::vector< std::string > expected;
        };

        void PrintTo( const InputCase& input_case, std::ostream* out )
        {
            *out << input_case.name;
        }

        // Moves one vertex of the surface's own mesh, not its unique vertex.
        void move_surface_vertex( Input& input, const uuid& surface, double z )
        {
            StructuralModelBuilder builder{ input.sample.model };
            auto mesh_builder = builder.surface_mesh_builder( surface );
            const auto point =
                input.sample.model.surface( surface ).mesh().point( 0 );
            mesh_builder->set_point(
                0, Point3D{ { point.value( 0 ), point.value( 1 ), z } } );
        }

        class InputChecks : public testing::TestWithParam< InputCase >
        {
        };
    } // namespace

    // Each input no build can use, in the smallest model that shows it: the
    // build refuses before anything is written, naming what to check, and
    // the model stays as it was.
    TEST_P( InputChecks, refuse_the_build_naming_what_to_check )
    {
        auto parameters = small_sample_parameters( 1, 0 );
        parameters.resolution.target_top_triangles = 24;
        Input input{ build_sample_model( parameters ), {}, {} };
        input.tops = input.sample.top_surfaces;
        input.bottoms = input.sample.bottom_surfaces;
        GetParam().damage( input );
        const auto nb_lines = input.sample.model.nb_lines();
        const auto nb_unique = input.sample.model.nb_unique_vertices();

        PillarStructuralModelBuilder builder{ input.sample.model, input.tops,
            input.bottoms };
        std::vector< testing::Matcher< std::string > > parts;
        for( const auto& expected : GetParam().expected )
        {
            parts.push_back( testing::HasSubstr( expected ) );
        }
        EXPECT_THAT(
            [&builder]
            {
                static_cast< void >( builder.build( {} ) );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::AllOfArray( parts ) ) );
        EXPECT_EQ( input.sample.model.nb_lines(), nb_lines );
        EXPECT_EQ( input.sample.model.nb_unique_vertices(), nb_unique );
    }

    INSTANTIATE_TEST_SUITE_P( BuildInput, InputChecks,
        testing::Values( InputCase{ "no_top",
                             []( Input& input )
                             {
                                 input.tops.clear();
                             },
                             { "No top surface is given" } },
            InputCase{ "no_bottom",
                []( Input& input )
                {
                    input.bottoms.clear();
                },
                { "No bottom surface is given" } },
            InputCase{ "unknown_top",
                []( Input& input )
                {
                    input.tops.push_back( uuid{} );
                },
                { "is not a surface of the model" } },
            InputCase{ "surface_in_both_lists",
                []( Input& input )
                {
                    input.bottoms.push_back( input.tops.front() );
                },
                { "is in both the top and the bottom lists",
                    "\"top_block_0\"" } },
            InputCase{ "horizon_as_the_top",
                []( Input& input )
                {
                    input.tops = input.sample.horizons.front().items;
                },
                { "\"horizon_1_block_0\"", "bounds 2 blocks",
                    "Check the top list" } },
            InputCase{ "top_vertex_far_from_its_unique_vertex",
                []( Input& input )
                {
                    move_surface_vertex( input, input.tops.front(), 1e300 );
                },
                { "joins vertex", "\"top_block_0\"", "1e+300",
                    "shared points must stand at one position" } },
            InputCase{ "coordinate_not_a_number",
                []( Input& input )
                {
                    move_surface_vertex( input, input.tops.front(),
                        std::numeric_limits< double >::quiet_NaN() );
                },
                { "Vertex 0 of surface \"top_block_0\"",
                    "coordinates must be finite numbers" } },
            InputCase{ "top_and_bottom_swapped",
                []( Input& input )
                {
                    std::swap( input.tops, input.bottoms );
                },
                { "are the top and bottom lists swapped?" } } ),
        []( const testing::TestParamInfo< InputCase >& info )
        {
            return info.param.name;
        } );

    // Two horizons in one collection: the layer between them is bounded by
    // one collection above and below, which a column meets twice.
    TEST( InputChecks, refuse_two_horizons_stacked_in_one_collection )
    {
        auto sample = one_fault_model();
        stack_second_horizon_into_first( sample );
        const auto nb_lines = sample.model.nb_lines();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        EXPECT_THAT(
            [&builder]
            {
                static_cast< void >( builder.build( {} ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( "lie one above the other" ),
                testing::HasSubstr( "of horizon \"horizon_1\"" ),
                testing::HasSubstr( "\"horizon_2_block_" ),
                testing::HasSubstr( "two horizons in one collection?" ) ) ) );
        EXPECT_EQ( sample.model.nb_lines(), nb_lines );
    }
} // namespace brevane
