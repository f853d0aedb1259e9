#include <gtest/gtest.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        TEST_F( ToolTest, RepairMendsTheSideVertexAndReportsWhatIsLeft )
        {
            ASSERT_EQ( run( small_sample_arguments( "defects.vtm", { "all" } ) )
                           .exit_code,
                0 );
            const auto repair = run( { "repair", "defects.vtm" } );
            EXPECT_EQ( repair.exit_code, 1 ) << repair.out << repair.err;
            EXPECT_NE( repair.out.find( "moved 1 side vertex onto the "
                                        "topography border" ),
                std::string::npos )
                << repair.out;
            EXPECT_EQ( nb_lines( repair.err ), 1 ) << repair.err;
            EXPECT_NE( repair.err.find( "3 issues" ), std::string::npos )
                << repair.err;
            ASSERT_TRUE( std::filesystem::exists( folder() / "repaired.vtm" ) );

            // The repaired model is written with the repair: only the three
            // defects the repair does not mend are left.
            const auto inspect = run( { "inspect", "repaired.vtm" } );
            EXPECT_EQ( inspect.exit_code, 1 );
            EXPECT_NE( inspect.out.find( "no issues with Points too far" ),
                std::string::npos )
                << inspect.out;
            EXPECT_NE(
                inspect.out.find( "1 issues with Multi z" ), std::string::npos )
                << inspect.out;
        }

        TEST_F( ToolTest, RepairedModelWithTheRepairableDefectBuilds )
        {
            ASSERT_EQ( run( small_sample_arguments(
                                "off_border.vtm", { "off-border" } ) )
                           .exit_code,
                0 );
            const auto repair =
                run( { "repair", "off_border.vtm", "-o", "mended/model.vtm" } );
            EXPECT_EQ( repair.exit_code, 0 ) << repair.out << repair.err;
            EXPECT_TRUE( repair.err.empty() ) << repair.err;
            EXPECT_EQ( run( { "inspect", "mended/model.vtm" } ).exit_code, 0 );
            const auto build = run(
                { "build", "mended/model.vtm", "-o", "mended/rebuilt.vtm" } );
            EXPECT_EQ( build.exit_code, 0 ) << build.out << build.err;
        }

        TEST_F( ToolTest, RepairOfTheDefaultSampleHasNothingToMend )
        {
            const auto repair = run( { "repair" } );
            EXPECT_EQ( repair.exit_code, 0 ) << repair.err;
            EXPECT_NE( repair.out.find( "nothing the repair mends" ),
                std::string::npos )
                << repair.out;
            EXPECT_TRUE( std::filesystem::exists( folder() / "repaired.vtm" ) );
        }

        // A horizon named as the top is no top: the repair says so and
        // moves nothing, instead of pulling vertices onto the horizon's
        // border.
        TEST_F( ToolTest, RepairRefusesAHorizonNamedAsTheTop )
        {
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
            const auto repair = run( { "repair", "small.vtm", "--top",
                "horizon_1", "-o", "wrong/model.vtm" } );
            EXPECT_EQ( repair.exit_code, 1 ) << repair.out << repair.err;
            EXPECT_NE( repair.err.find( "the model cannot be repaired" ),
                std::string::npos )
                << repair.err;
            EXPECT_NE( repair.out.find( "bounds 2 blocks" ), std::string::npos )
                << repair.out;
            EXPECT_FALSE( std::filesystem::exists( folder() / "wrong" ) );
        }
    } // namespace
} // namespace brevane::test
