#include <ostream>
#include <set>

#include <gtest/gtest.h>

#include "tool_run.h"

// The options every command shares, through the tool as a process: the
// exit code, what is printed and which files are left.
namespace brevane::test
{
    namespace
    {
        // Every path under the folder, relative to it, but for what the
        // folders of meshes of model files ("<stem>_files") hold.
        std::set< std::string > files_under(
            const std::filesystem::path& folder )
        {
            std::set< std::string > files;
            for( auto entry =
                     std::filesystem::recursive_directory_iterator( folder );
                 entry != std::filesystem::recursive_directory_iterator();
                 entry++ )
            {
                const auto name = entry->path().filename().string();
                if( entry->is_directory() && name.size() > 6
                    && name.substr( name.size() - 6 ) == "_files" )
                {
                    entry.disable_recursion_pending();
                }
                files.insert( std::filesystem::relative( entry->path(), folder )
                                  .string() );
            }
            return files;
        }

        struct OptionCase
        {
            std::string name;
            // Run first, from the test's folder; each must exit with 0.
            std::vector< std::vector< std::string > > setup;
            std::vector< std::string > arguments;
            int exit_code;
            // What the standard output must hold; empty for nothing at all.
            std::vector< std::string > out;
            // The paths the run adds to the folder, beside those of the
            // setup.
            std::set< std::string > written;
        };

        void PrintTo( const OptionCase& option, std::ostream* out )
        {
            *out << option.name;
        }

        class OptionTest : public ToolTest,
                           public ::testing::WithParamInterface< OptionCase >
        {
        };

        TEST_P( OptionTest, GivesItsExitCodeOutputAndFiles )
        {
            const auto& option = GetParam();
            for( const auto& setup : option.setup )
            {
                ASSERT_EQ( run( setup ).exit_code, 0 ) << setup[0];
            }
            const auto before = files_under( folder() );
            const auto run = this->run( option.arguments );
            EXPECT_EQ( run.exit_code, option.exit_code ) << run.out << run.err;
            EXPECT_EQ( nb_lines( run.err ), option.exit_code == 0 ? 0 : 1 )
                << run.err;
            if( option.out.empty() )
            {
                EXPECT_TRUE( run.out.empty() ) << run.out;
            }
            for( const auto& fragment : option.out )
            {
                EXPECT_NE( run.out.find( fragment ), std::string::npos )
                    << fragment << " missing from\n"
                    << run.out;
            }
            auto expected = before;
            expected.insert( option.written.begin(), option.written.end() );
            EXPECT_EQ( files_under( folder() ), expected );
        }

        const std::vector< std::string > SMALL{ "sample", "--horizons", "1",
            "--faults", "1", "--top-triangles", "100", "-o", "small.vtm" };
        const std::vector< std::string > FOLDED{ "sample", "--horizons", "1",
            "--faults", "1", "--top-triangles", "100", "--defects", "fold",
            "-o", "fold.vtm" };
        const std::vector< std::string > A_FILE{ "sample", "--horizons", "1",
            "--faults", "0", "--top-triangles", "20", "-o", "file.vtm" };
        const std::set< std::string > REBUILT{ "out", "out/p.vtm", "out/p_files",
            "out/p_plan_view_before_decimation.svg",
            "out/p_plan_view_after_decimation.svg" };

        INSTANTIATE_TEST_SUITE_P( Options, OptionTest,
            ::testing::Values(
                OptionCase{ "Version", {}, { "--version" }, 0, { "brevane " },
                    {} },
                OptionCase{ "QuietSample", {},
                    { "sample", "--top-triangles", "40", "-q", "-o", "q.vtm" },
                    0, {}, { "q.vtm", "q_files" } },
                OptionCase{ "QuietBuild", { SMALL },
                    { "build", "small.vtm", "--quiet", "-o", "out/p.vtm" }, 0,
                    {}, REBUILT },
                OptionCase{ "QuietInspectWithIssues", { FOLDED },
                    { "inspect", "fold.vtm", "-q" }, 1, {}, {} },
                OptionCase{ "VerboseBuild", { SMALL },
                    { "build", "small.vtm", "--verbose", "-o", "out/p.vtm" },
                    0,
                    { "Surface groups order, top to bottom\n  group 1",
                        "fault_1_piece_0",
                        "Slice collections, top to bottom\n  slice 1",
                        "top_block_0, top_block_1" },
                    REBUILT },
                OptionCase{ "NormalBuildLeavesTheDetailsOut", { SMALL },
                    { "build", "small.vtm", "-o", "out/p.vtm" }, 0,
                    { "Summary" }, REBUILT },
                // The model after a named top is the model read.
                OptionCase{ "TopBeforeTheModel", { SMALL },
                    { "build", "--top", "top", "small.vtm", "--bottom",
                        "bottom", "-o", "out/p.vtm" },
                    0, { "Building the pillar model of small.vtm" }, REBUILT },
                OptionCase{ "TopRepeated", { SMALL },
                    { "inspect", "--top", "top_block_0", "--top",
                        "top_block_1", "small.vtm" },
                    0, { "Inspection of small.vtm" }, {} },
                OptionCase{ "JsonAndQuiet", { SMALL },
                    { "inspect", "small.vtm", "--json", "--quiet" }, 2, {},
                    {} },
                OptionCase{ "QuietAndVerbose", {},
                    { "sample", "-q", "-v" }, 2, {}, {} },
                OptionCase{ "OutputDirBeforeACommand", { SMALL },
                    { "--output-dir", "out", "build", "small.vtm" }, 2, {},
                    {} },
                OptionCase{ "OutputDirAfterACommand", { SMALL },
                    { "build", "small.vtm", "--output-dir", "out" }, 2, {},
                    {} },
                OptionCase{ "QuietBeforeACommand", {},
                    { "--quiet", "sample" }, 2, {}, {} },
                OptionCase{ "NegativeSeed", {}, { "sample", "--seed", "-1" },
                    2, {}, {} },
                // The output is checked before the build: a folder that is
                // a file is refused before any progress line.
                OptionCase{ "OutputUnderAFile", { A_FILE },
                    { "build", "-o", "file.vtm/p.vtm" }, 2, {}, {} },
                // A picture's name taken by a folder.
                OptionCase{ "PictureIsAFolder",
                    { SMALL,
                        { "sample", "--horizons", "1", "--faults", "0",
                            "--top-triangles", "20", "-o",
                            "p_plan_view_after_decimation.svg/x.vtm" } },
                    { "build", "small.vtm", "-o", "p.vtm" }, 2, {}, {} },
                OptionCase{ "SampleUnderAFile", { A_FILE },
                    { "sample", "-o", "file.vtm/deeper/s.vtm" }, 2, {}, {} },
                OptionCase{ "ExportUnderAFile", { A_FILE },
                    { "export", "file.vtm", "--tsurf", "file.vtm/ts" }, 2,
                    {}, {} },
                // Refused or failed commands leave nothing behind.
                OptionCase{ "RefusedBuild", { FOLDED },
                    { "build", "fold.vtm", "-o", "out/p.vtm" }, 1,
                    { "nothing was built" }, {} },
                OptionCase{ "RefusedSample", {},
                    { "sample", "--top-triangles", "2", "--defects", "fold",
                        "-o", "out/s.vtm" },
                    2, { "Sample model:" }, {} },
                OptionCase{ "ExportOfAModelTSurfCannotHold",
                    { { "sample", "--defects", "untagged", "--top-triangles",
                        "40", "-o", "untagged.vtm" } },
                    { "export", "untagged.vtm", "--tsurf", "out/ts" }, 1,
                    { "TSurf files of untagged.vtm" }, {} } ),
            []( const ::testing::TestParamInfo< OptionCase >& info )
            {
                return info.param.name;
            } );
    } // namespace
} // namespace brevane::test
