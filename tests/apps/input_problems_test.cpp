#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tessark/model/structural_model_builder.h>

#include <io/model_file.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        struct InputProblemCase
        {
            std::string name;
            // The model file, then the options naming top and bottom.
            std::vector< std::string > model;
            std::string expected;
        };

        void PrintTo( const InputProblemCase& input_case, std::ostream* out )
        {
            *out << input_case.name;
        }

        class InputProblems
            : public ToolTest,
              public ::testing::WithParamInterface< InputProblemCase >
        {
        protected:
            void SetUp() override
            {
                ToolTest::SetUp();
                ASSERT_EQ(
                    run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
                // A top vertex moved in the top surface only: its unique
                // vertex joins points far apart.
                auto sample =
                    build_sample_model( small_sample_parameters( 1, 1 ) );
                const auto& top =
                    sample.model.surface( sample.top_surfaces.front() );
                const auto point = top.mesh().point( 0 );
                StructuralModelBuilder builder{ sample.model };
                builder.surface_mesh_builder( top.id() )
                    ->set_point( 0, Point3D{ { point.value( 0 ),
                                        point.value( 1 ), 1e300 } } );
                save_model( sample.model, folder() / "far.vtm" );
                auto stacked =
                    build_sample_model( small_sample_parameters( 2, 1 ) );
                stack_second_horizon_into_first( stacked );
                save_model( stacked.model, folder() / "stacked.vtm" );
                auto parameters = small_sample_parameters( 1, 1 );
                parameters.faults.front().dip_degrees = 90;
                save_model( build_sample_model( parameters ).model,
                    folder() / "vertical.vtm" );
            }
        };
    } // namespace

    // Input no build can use: inspect reports it after the inspection's
    // records and exits with 1; build refuses it with the same words before
    // anything is written.
    TEST_P( InputProblems, InspectReportsAndBuildRefusesWritingNothing )
    {
        const auto& param = GetParam();
        auto inspect = std::vector< std::string >{ "inspect" };
        inspect.insert( inspect.end(), param.model.begin(), param.model.end() );
        const auto inspected = run( inspect );
        EXPECT_EQ( inspected.exit_code, 1 ) << inspected.out << inspected.err;
        EXPECT_NE( inspected.out.find( param.expected ), std::string::npos )
            << inspected.out;

        auto build = std::vector< std::string >{ "build" };
        build.insert( build.end(), param.model.begin(), param.model.end() );
        build.insert( build.end(), { "-o", "out/model.vtm" } );
        const auto built = run( build );
        EXPECT_EQ( built.exit_code, 1 ) << built.out << built.err;
        EXPECT_NE( ( built.out + built.err ).find( param.expected ),
            std::string::npos )
            << built.out << built.err;
        EXPECT_FALSE( std::filesystem::exists( folder() / "out" ) );
    }

    INSTANTIATE_TEST_SUITE_P( Tool, InputProblems,
        ::testing::Values(
            InputProblemCase{ "horizon_named_as_the_top",
                { "small.vtm", "--top", "horizon_1" }, "bounds 2 blocks" },
            InputProblemCase{ "surface_in_both_lists",
                { "small.vtm", "--bottom", "top", "--bottom", "bottom" },
                "is in both the top and the bottom lists" },
            InputProblemCase{ "top_and_bottom_swapped",
                { "small.vtm", "--top", "bottom", "--bottom", "top" },
                "are the top and bottom lists swapped?" },
            InputProblemCase{ "vertex_far_from_its_unique_vertex",
                { "far.vtm" }, "shared points must stand at one position" },
            InputProblemCase{ "two_horizons_in_one_collection",
                { "stacked.vtm" }, "lie one above the other" },
            InputProblemCase{ "vertical_fault", { "vertical.vtm" },
                "vertical faults are not built yet" } ),
        []( const ::testing::TestParamInfo< InputProblemCase >& info )
        {
            return info.param.name;
        } );
} // namespace brevane::test
