#include <fstream>
#include <ostream>

#include <gtest/gtest.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        struct UsageErrorCase
        {
            std::string name;
            std::vector< std::string > arguments;
            // What the error line must say.
            std::vector< std::string > fragments;
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const UsageErrorCase& usage, std::ostream* out )
        {
            *out << usage.name;
        }

        class UsageErrorTest
            : public ToolTest,
              public ::testing::WithParamInterface< UsageErrorCase >
        {
        };

        // A bad command line exits with 2 and one line on the standard
        // error, before any work: nothing is written.
        TEST_P( UsageErrorTest, ExitsWithTwoAndOneLineWithoutWriting )
        {
            const auto& usage = GetParam();
            const auto run = this->run( usage.arguments );
            EXPECT_EQ( run.exit_code, 2 ) << run.out << run.err;
            EXPECT_EQ( nb_lines( run.err ), 1 ) << run.err;
            for( const auto& fragment : usage.fragments )
            {
                EXPECT_NE( run.err.find( fragment ), std::string::npos )
                    << fragment << " missing from " << run.err;
            }
            EXPECT_TRUE( std::filesystem::is_empty( folder() ) );
        }

        INSTANTIATE_TEST_SUITE_P( CommandLines, UsageErrorTest,
            ::testing::Values( UsageErrorCase{ "UnknownCommand",
                                   { "frobnicate" }, { "frobnicate" } },
                UsageErrorCase{ "UnknownOption",
                    { "inspect", "--no-such-option" },
                    { "brevane inspect", "--no-such-option" } },
                UsageErrorCase{ "HorizonsOutOfRange",
                    { "sample", "--horizons", "0" }, { "--horizons" } },
                UsageErrorCase{ "HorizonsNotANumber",
                    { "sample", "--horizons", "many" }, { "many" } },
                UsageErrorCase{ "UnknownDefect",
                    { "sample", "--defects", "crack" }, { "crack" } },
                // Options take one value each, repeated for more.
                UsageErrorCase{ "DefectsAsAList",
                    { "sample", "--defects", "fold", "off-border" },
                    { "off-border" } },
                UsageErrorCase{ "TopAsAList",
                    { "inspect", "--top", "top_block_0", "top_block_1" },
                    { "top_block_1" } },
                UsageErrorCase{ "NegativeSeed", { "sample", "--seed", "-1" },
                    { "--seed", "-1" } },
                UsageErrorCase{ "TwoModels",
                    { "inspect", "first.vtm", "second.vtm" },
                    { "second.vtm" } },
                UsageErrorCase{ "MissingModelFile",
                    { "inspect", "missing.vtm" }, { "missing.vtm" } },
                UsageErrorCase{ "UnknownTopName",
                    { "inspect", "--top", "nowhere" },
                    { "--top", "nowhere", "top_block_0", "horizon_1" } },
                UsageErrorCase{ "UnknownBottomName",
                    { "build", "--bottom", "floor" }, { "--bottom", "floor" } },
                UsageErrorCase{ "OutputNotAModelFile",
                    { "build", "-o", "model.txt" }, { "model.txt", ".vtm" } },
                UsageErrorCase{ "MissingDescription", { "convert" },
                    { "brevane convert" } },
                UsageErrorCase{ "MissingDescriptionFile",
                    { "convert", "missing.json" }, { "missing.json" } } ),
            []( const ::testing::TestParamInfo< UsageErrorCase >& info )
            {
                return info.param.name;
            } );
    } // namespace
} // namespace brevane::test

namespace brevane::test
{
    namespace
    {
        // Files that exist but hold no model: each command reading them
        // exits with 2 and names the file.
        TEST_F( ToolTest, UnreadableModelFilesExitWithTwo )
        {
            std::ofstream{ folder() / "junk.vtm" } << "not a model\n";
            std::filesystem::create_directories( folder() / "folder.vtm" );
            for( const auto& arguments :
                std::vector< std::vector< std::string > >{
                    { "inspect", "junk.vtm" }, { "repair", "junk.vtm" },
                    { "build", "junk.vtm" }, { "inspect", "folder.vtm" } } )
            {
                const auto run = this->run( arguments );
                EXPECT_EQ( run.exit_code, 2 ) << arguments[0] << run.err;
                EXPECT_EQ( nb_lines( run.err ), 1 ) << run.err;
                EXPECT_NE( run.err.find( arguments[1] ), std::string::npos )
                    << run.err;
            }
        }
    } // namespace
} // namespace brevane::test
