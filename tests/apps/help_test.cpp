#include <gtest/gtest.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        struct HelpCase
        {
            std::string command;
            // Options the help of the command must describe.
            std::vector< std::string > options;
        };

        class HelpTest : public ToolTest,
                         public ::testing::WithParamInterface< HelpCase >
        {
        };

        TEST_P( HelpTest, DescribesTheOptionsAndExitsWithZero )
        {
            const auto& help = GetParam();
            const auto run = this->run( { help.command, "--help" } );
            EXPECT_EQ( run.exit_code, 0 );
            EXPECT_TRUE( run.err.empty() ) << run.err;
            EXPECT_NE( run.out.find( "Usage:" ), std::string::npos ) << run.out;
            for( const auto& option : help.options )
            {
                EXPECT_NE( run.out.find( option ), std::string::npos )
                    << option << " missing from\n"
                    << run.out;
            }
        }

        INSTANTIATE_TEST_SUITE_P( Commands, HelpTest,
            ::testing::Values(
                HelpCase{ "sample",
                    { "--horizons", "--faults", "--top-triangles", "--seed",
                        "--defects", "--output", "--quiet", "--verbose" } },
                HelpCase{ "inspect",
                    { "--top", "--bottom", "--json", "--quiet", "--verbose" } },
                HelpCase{ "repair",
                    { "--top", "--bottom", "--output", "--json", "--quiet" } },
                HelpCase{ "build",
                    { "--top", "--bottom", "--cells", "--no-pictures",
                        "--output", "--json", "--quiet", "--verbose" } },
                HelpCase{ "convert", { "--output", "--quiet" } },
                HelpCase{ "export", { "--tsurf", "--quiet" } } ),
            []( const ::testing::TestParamInfo< HelpCase >& info )
            {
                return info.param.command;
            } );

        TEST_F( ToolTest, HelpWithoutCommandListsEveryCommand )
        {
            const auto run = this->run( { "--help" } );
            EXPECT_EQ( run.exit_code, 0 );
            for( const auto* command :
                { "sample", "inspect", "repair", "build", "convert", "export",
                    "ensemble", "--version" } )
            {
                EXPECT_NE( run.out.find( command ), std::string::npos )
                    << command << " missing from\n"
                    << run.out;
            }
        }
    } // namespace
} // namespace brevane::test
