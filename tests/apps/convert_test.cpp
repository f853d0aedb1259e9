#include <fstream>

#include <gtest/gtest.h>

#include <io/tsurf_model_export.h>
#include <samples/small_sample_models.h>

#include <pillar/varnholt_pillar_library.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        // A TSurf set made of the surfaces of a small sample model, in the
        // test's folder "tsurf"; returns its description relative to the
        // test's folder.
        std::string write_sample_tsurf_set(
            const std::filesystem::path& folder )
        {
            VarnholtPillarLibrary::initialize();
            const auto sample = one_fault_model();
            const auto description =
                export_tsurf_model( sample.model, folder / "tsurf" );
            return std::filesystem::relative( description, folder ).string();
        }

        TEST_F( ToolTest, ConvertsATSurfSetIntoAModelTheToolBuilds )
        {
            const auto description = write_sample_tsurf_set( folder() );
            const auto convert = run( { "convert", description } );
            ASSERT_EQ( convert.exit_code, 0 ) << convert.out << convert.err;
            EXPECT_TRUE( convert.err.empty() ) << convert.err;
            // By default the model is named after the description, in the
            // current folder.
            const auto model =
                std::filesystem::path{ description }.stem().string() + ".vtm";
            ASSERT_TRUE( std::filesystem::exists( folder() / model ) )
                << convert.out;

            // The topography and the bottom are the model boundaries "top"
            // and "bottom", found without options.
            const auto inspect = run( { "inspect", model } );
            EXPECT_EQ( inspect.exit_code, 0 ) << inspect.out << inspect.err;
            const auto build = run( { "build", model, "-o", "rebuilt.vtm" } );
            EXPECT_EQ( build.exit_code, 0 ) << build.out << build.err;
        }

        TEST_F( ToolTest, ConvertWritesASetThatDoesNotCloseAndExitsWithOne )
        {
            const auto description = write_sample_tsurf_set( folder() );
            // The topography alone bounds nothing.
            std::ofstream{
                folder() / "tsurf" / "open.json"
            } << R"({ "surfaces": [ { "file": "top.ts", "role": "topography" } ] })";
            const auto run =
                this->run( { "convert", "tsurf/open.json", "-o", "open.vtm" } );
            EXPECT_EQ( run.exit_code, 1 ) << run.out << run.err;
            EXPECT_EQ( nb_lines( run.err ), 1 ) << run.err;
            EXPECT_NE( run.err.find( "closed model" ), std::string::npos )
                << run.err;
            EXPECT_TRUE( std::filesystem::exists( folder() / "open.vtm" ) );
        }

        TEST_F( ToolTest, ConvertOfABadDescriptionExitsWithTwo )
        {
            std::ofstream{ folder() / "bad.json" } << "{ \"surfaces\": [ ";
            const auto run = this->run( { "convert", "bad.json" } );
            EXPECT_EQ( run.exit_code, 2 ) << run.out << run.err;
            EXPECT_EQ( nb_lines( run.err ), 1 ) << run.err;
            EXPECT_NE( run.err.find( "bad.json" ), std::string::npos )
                << run.err;
            EXPECT_FALSE( std::filesystem::exists( folder() / "bad.vtm" ) );
        }
    } // namespace
} // namespace brevane::test
