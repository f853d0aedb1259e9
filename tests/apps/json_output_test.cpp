#include <fstream>
#include <functional>
#include <ostream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "json_schema_check.h"
#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        using Json = nlohmann::json;

        // The stages the builder announces, in the order they run, after
        // the tool's own first one.
        const std::vector< std::string > STAGES{
            "Making the plan view and inspecting the model",
            "Building final model", "Finding surface groups order",
            "Defining pillars", "Decimating top surface",
            "Building each horizon surface", "Creating unique vertices",
            "Building model boundaries", "Updating model" };

        const Json& output_schema()
        {
            static const auto schema = []
            {
                std::ifstream file{ docs_folder() / "json_output.schema.json" };
                return Json::parse( file );
            }();
            return schema;
        }

        // The issues of the check of that kind.
        const Json& issues_of( const Json& inspection, const std::string& kind )
        {
            for( const auto& check : inspection["checks"] )
            {
                if( check["kind"] == kind )
                {
                    return check["issues"];
                }
            }
            throw std::runtime_error{ "no check " + kind };
        }

        // The names of the components of the check's issues.
        std::vector< std::string > issue_names(
            const Json& inspection, const std::string& kind )
        {
            std::vector< std::string > names;
            for( const auto& issue : issues_of( inspection, kind ) )
            {
                for( const auto& component : issue["components"] )
                {
                    names.push_back( component["name"] );
                }
            }
            return names;
        }

        struct JsonCase
        {
            std::string name;
            // Defects of the small sample "small.vtm" written first.
            std::vector< std::string > defects;
            std::vector< std::string > arguments;
            int exit_code;
            // What else the document must say; the folder is the test's.
            std::function< void( const Json&, const std::filesystem::path& ) >
                check;
        };

        void PrintTo( const JsonCase& json_case, std::ostream* out )
        {
            *out << json_case.name;
        }

        class JsonOutputTest
            : public ToolTest,
              public ::testing::WithParamInterface< JsonCase >
        {
        };

        // The standard output is one JSON document that follows the
        // schema of docs/json_output.schema.json and says what the text
        // report says; the exit code is the text report's, and in the
        // document too.
        TEST_P( JsonOutputTest, PrintsOneDocumentOfTheSchema )
        {
            const auto& json_case = GetParam();
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm", json_case.defects ) )
                    .exit_code,
                0 );
            const auto run = this->run( json_case.arguments );
            EXPECT_EQ( run.exit_code, json_case.exit_code )
                << run.out << run.err;
            EXPECT_EQ( nb_lines( run.err ), json_case.exit_code == 0 ? 0 : 1 )
                << run.err;
            Json document;
            ASSERT_NO_THROW( document = Json::parse( run.out ) ) << run.out;
            for( const auto& violation :
                schema_violations( document, output_schema() ) )
            {
                ADD_FAILURE() << violation;
            }
            EXPECT_EQ( document["command"], json_case.arguments.front() );
            EXPECT_EQ( document["exit_code"], json_case.exit_code );
            json_case.check( document, folder() );
        }

        void check_clean_inspection( const Json& inspection )
        {
            EXPECT_EQ( inspection["nb_issues"], 0 );
            EXPECT_EQ( inspection["buildable"], true );
            std::vector< std::string > kinds;
            for( const auto& check : inspection["checks"] )
            {
                kinds.push_back( check["kind"] );
            }
            EXPECT_EQ( kinds, ( std::vector< std::string >{ "multi_z", "lines",
                                  "points_too_far", "surfaces_collection" } ) );
        }

        void check_build( const Json& document,
            const std::filesystem::path& folder )
        {
            check_clean_inspection( document["inspection"] );
            EXPECT_EQ( document["built"], true );
            EXPECT_TRUE( document["failure"].is_null() );
            std::vector< std::string > stages;
            double total{ 0 };
            for( const auto& stage : document["stages"] )
            {
                stages.push_back( stage["name"] );
                total += stage["milliseconds"].get< double >();
            }
            // With cells, a stage of their own follows.
            ASSERT_GE( stages.size(), STAGES.size() );
            stages.resize( STAGES.size() );
            EXPECT_EQ( stages, STAGES );
            EXPECT_LE( total, document["build_milliseconds"].get< double >()
                                  + 1e-6 );
            EXPECT_EQ( document["validation"]["valid"], true );
            const auto& slices = document["slice_collections"];
            EXPECT_EQ( slices.size(), document["summary"]["slices"] );
            // Top to bottom: the topography first, the bottom last.
            ASSERT_GE( slices.size(), 2u );
            EXPECT_EQ( slices.front()["surfaces"][0]["name"], "top_block_0" );
            EXPECT_EQ(
                slices.back()["surfaces"][0]["name"], "bottom_block_0" );
            for( const auto& slice : slices )
            {
                EXPECT_EQ( slice["type"], "SurfaceCollection" );
                EXPECT_FALSE( slice["surfaces"].empty() );
            }
            EXPECT_FALSE( document["surface_groups_order"].empty() );
            ASSERT_EQ( document["horizon_distances"].size(), 1u );
            EXPECT_EQ( document["horizon_distances"][0]["horizon"], "horizon_1" );
            EXPECT_LT( document["horizon_distances"][0]
                           ["largest_vertical_distance"]
                               .get< double >(),
                1e-6 );
            ASSERT_EQ( document["files"].size(), 3u );
            for( const auto& file : document["files"] )
            {
                EXPECT_TRUE( std::filesystem::exists(
                    folder / file["path"].get< std::string >() ) )
                    << file["path"];
            }
        }

        INSTANTIATE_TEST_SUITE_P( Commands, JsonOutputTest,
            ::testing::Values(
                JsonCase{ "InspectClean", {}, { "inspect", "small.vtm", "--json" },
                    0,
                    []( const Json& document, const std::filesystem::path& )
                    {
                        EXPECT_EQ( document["model"], "small.vtm" );
                        check_clean_inspection( document["inspection"] );
                    } },
                JsonCase{ "InspectEveryDefect", { "all" },
                    { "inspect", "small.vtm", "--json" }, 1,
                    []( const Json& document, const std::filesystem::path& )
                    {
                        const auto& inspection = document["inspection"];
                        EXPECT_EQ( inspection["nb_issues"], 4 );
                        EXPECT_EQ( inspection["buildable"], false );
                        EXPECT_EQ( issue_names( inspection, "multi_z" ),
                            std::vector< std::string >{ "top_block_0" } );
                        EXPECT_EQ( issue_names( inspection, "lines" ),
                            std::vector< std::string >{ "dangling_line" } );
                        EXPECT_EQ(
                            issue_names( inspection, "surfaces_collection" ),
                            std::vector< std::string >{ "untagged_surface" } );
                        const auto& off_border =
                            issues_of( inspection, "points_too_far" );
                        ASSERT_EQ( off_border.size(), 1u );
                        EXPECT_NEAR(
                            off_border[0]["distance"].get< double >(), 0.5,
                            1e-9 );
                        // The side vertex is shared by the wall, its
                        // neighbours and the lines along them.
                        EXPECT_GE( off_border[0]["components"].size(), 2u );
                    } },
                JsonCase{ "RepairOffBorder", { "off-border" },
                    { "repair", "small.vtm", "--json", "-o", "mended.vtm" }, 0,
                    []( const Json& document,
                        const std::filesystem::path& folder )
                    {
                        EXPECT_EQ( document["inspection_before"]["nb_issues"], 1 );
                        EXPECT_EQ( document["moved_vertices"], 1 );
                        check_clean_inspection( document["inspection_after"] );
                        EXPECT_EQ( document["files"][0]["path"], "mended.vtm" );
                        EXPECT_TRUE(
                            std::filesystem::exists( folder / "mended.vtm" ) );
                    } },
                JsonCase{ "RepairLeavingIssues", { "fold", "off-border" },
                    { "repair", "small.vtm", "--json" }, 1,
                    []( const Json& document, const std::filesystem::path& )
                    {
                        EXPECT_EQ( document["moved_vertices"], 1 );
                        EXPECT_EQ( document["inspection_after"]["nb_issues"], 1 );
                    } },
                JsonCase{ "Build", {}, { "build", "small.vtm", "--json", "-o", "out/rebuilt.vtm" },
                    0, check_build },
                JsonCase{ "BuildWithCells", {},
                    { "build", "small.vtm", "--json", "--cells" }, 0,
                    []( const Json& document,
                        const std::filesystem::path& folder )
                    {
                        check_build( document, folder );
                        const auto& cells =
                            document["summary"]["block_cells"];
                        ASSERT_EQ( cells.size(), 4u );
                        for( const auto& block : cells )
                        {
                            EXPECT_GT( block["volume"].get< double >(), 0 );
                        }
                    } },
                JsonCase{ "BuildRefused", { "fold" },
                    { "build", "small.vtm", "--json" }, 1,
                    []( const Json& document,
                        const std::filesystem::path& folder )
                    {
                        EXPECT_EQ( document["built"], false );
                        EXPECT_EQ( document["inspection"]["nb_issues"], 1 );
                        EXPECT_FALSE( document.contains( "files" ) );
                        EXPECT_FALSE( std::filesystem::exists(
                            folder / "pillar_model.vtm" ) );
                    } } ),
            []( const ::testing::TestParamInfo< JsonCase >& info )
            {
                return info.param.name;
            } );

        // The checker finds what a document breaks, so that a passing
        // document means something.
        TEST( JsonSchemaCheck, FindsWhatADocumentBreaks )
        {
            const auto good = Json::parse( R"({ "command": "inspect",
                "version": "1", "model": "m.vtm", "exit_code": 0,
                "input_problems": [],
                "inspection": { "nb_issues": 0, "buildable": true, "checks": [
                  { "kind": "multi_z", "description": "", "nb_issues": 0, "issues": [] },
                  { "kind": "lines", "description": "", "nb_issues": 0, "issues": [] },
                  { "kind": "points_too_far", "description": "", "nb_issues": 0, "issues": [] },
                  { "kind": "surfaces_collection", "description": "", "nb_issues": 0, "issues": [] } ] } })" );
            EXPECT_TRUE( schema_violations( good, output_schema() ).empty() );
            for( const auto& [pointer, value] :
                std::vector< std::pair< std::string, Json > >{
                    { "/exit_code", 2 }, { "/inspection/nb_issues", -1 },
                    { "/inspection/checks/0/kind", "folds" },
                    { "/inspection/buildable", "yes" },
                    { "/inspection/checks/3", nullptr },
                    { "/extra", 1 } } )
            {
                auto bad = good;
                bad[Json::json_pointer{ pointer }] = value;
                EXPECT_FALSE( schema_violations( bad, output_schema() ).empty() )
                    << pointer;
            }
            auto missing = good;
            missing.erase( "model" );
            EXPECT_FALSE( schema_violations( missing, output_schema() ).empty() );
        }
    } // namespace
} // namespace brevane::test
