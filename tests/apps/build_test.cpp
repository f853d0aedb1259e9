#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include <io/model_file.h>
#include <tessark/inspection/model_validation.h>

#include <pillar/varnholt_pillar_library.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        // The stages the builder announces, in the order they run.
        const std::vector< std::string > STAGES{ "Building final model",
            "Finding surface groups order", "Defining pillars",
            "Decimating top surface", "Building each horizon surface",
            "Creating unique vertices", "Building model boundaries",
            "Updating model" };

        // The tool's own steps after the build, in order.
        const std::vector< std::string > STEPS_AFTER_BUILD{
            "Validating the model and measuring its horizons",
            "Writing the pictures", "Writing the model file"
        };

        // The position of each line "  <name> <time>" in out, checking that
        // they come in the given order from start on, each with a time.
        void expect_timed_lines_in_order( const std::string& out,
            const std::vector< std::string >& names, std::size_t start )
        {
            auto previous = start;
            for( const auto& name : names )
            {
                const auto found = out.find( "  " + name + " ", previous );
                ASSERT_NE( found, std::string::npos )
                    << name << " missing or out of order in\n"
                    << out;
                const auto end = out.find( '\n', found );
                const auto line = out.substr( found, end - found );
                EXPECT_TRUE( line.ends_with( " ms" ) || line.ends_with( " s" ) )
                    << line;
                previous = found;
            }
        }

        // The value printed after a label at the start of a line (after the
        // indent), trimmed; empty when there is no such line.
        std::string row_value(
            const std::string& out, const std::string& label )
        {
            std::istringstream lines{ out };
            for( std::string line; std::getline( lines, line ); )
            {
                const auto start = line.find_first_not_of( ' ' );
                if( start == std::string::npos
                    || line.compare( start, label.size(), label ) != 0 )
                {
                    continue;
                }
                const auto value =
                    line.find_first_not_of( ' ', start + label.size() );
                return value == std::string::npos ? "" : line.substr( value );
            }
            return {};
        }

        // From the summary on: the part of the output that does not hold
        // times.
        std::string summary( const std::string& out )
        {
            const auto start = out.find( "Summary\n" );
            return start == std::string::npos ? "" : out.substr( start );
        }

        TEST_F( ToolTest, BuildsTheDefaultSampleWithProgressSummaryAndFiles )
        {
            const auto run = this->run( { "build" } );
            ASSERT_EQ( run.exit_code, 0 ) << run.out << run.err;
            EXPECT_TRUE( run.err.empty() ) << run.err;

            // One timed line per stage, in the order the stages run, then
            // one per step of the tool after the build.
            auto stages = STAGES;
            stages.insert( stages.begin(),
                { "Reading the model", "Keeping the input's horizons" } );
            expect_timed_lines_in_order( run.out, stages, 0 );
            const auto built = run.out.find( "  built in " );
            ASSERT_NE( built, std::string::npos ) << run.out;
            expect_timed_lines_in_order( run.out, STEPS_AFTER_BUILD, built );

            EXPECT_EQ( row_value( run.out, "slices" ), "13" ) << run.out;
            EXPECT_EQ( row_value( run.out, "validation" ), "valid" );
            EXPECT_FALSE( row_value( run.out, "pillars" ).empty() );
            EXPECT_NE( row_value( run.out, "plan-view triangles" )
                           .find( "before decimation" ),
                std::string::npos );
            EXPECT_NE(
                row_value( run.out, "rebuilt triangles" ).find( "input" ),
                std::string::npos );
            // Rebuilt horizons follow the input ones.
            for( const auto* horizon :
                { "horizon_1", "horizon_2", "horizon_3" } )
            {
                const auto value = row_value( run.out, horizon );
                ASSERT_FALSE( value.empty() ) << horizon << " in\n" << run.out;
                EXPECT_LT( std::stod( value ), 1e-6 ) << horizon;
            }

            for( const auto* file : { "pillar_model.vtm",
                     "pillar_model_plan_view_before_decimation.svg",
                     "pillar_model_plan_view_after_decimation.svg" } )
            {
                EXPECT_TRUE( std::filesystem::exists( folder() / file ) )
                    << file;
            }
            std::ifstream picture{
                folder() / "pillar_model_plan_view_after_decimation.svg"
            };
            std::string first_line;
            std::getline( picture, first_line );
            EXPECT_NE( first_line.find( "<svg" ), std::string::npos )
                << first_line;

            VarnholtPillarLibrary::initialize();
            const auto rebuilt = load_model( folder() / "pillar_model.vtm" );
            EXPECT_TRUE( validate_model( rebuilt ).is_valid() );
            EXPECT_EQ( rebuilt.nb_horizons(), 3 );
            EXPECT_EQ( rebuilt.nb_faults(), 2 );
        }

        TEST_F( ToolTest, BuildsAWrittenSampleWithCellsIntoAnotherFolder )
        {
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
            const auto run = this->run(
                { "build", "small.vtm", "--cells", "-o", "out/cells.vtm" } );
            ASSERT_EQ( run.exit_code, 0 ) << run.out << run.err;
            EXPECT_FALSE( row_value( run.out, "block cells" ).empty() )
                << run.out;
            EXPECT_EQ( row_value( run.out, "validation" ), "valid" );
            for( const auto* file :
                { "out/cells.vtm", "out/cells_plan_view_before_decimation.svg",
                    "out/cells_plan_view_after_decimation.svg" } )
            {
                EXPECT_TRUE( std::filesystem::exists( folder() / file ) )
                    << file;
            }
            // The rebuilt model is a model the tool reads again.
            const auto again = this->run( { "inspect", "out/cells.vtm" } );
            EXPECT_NE( again.exit_code, 2 ) << again.err;
        }

        // Without pictures: the model alone is written and listed, with the
        // same summary.
        TEST_F( ToolTest, BuildWithoutPicturesWritesTheModelOnly )
        {
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
            const auto with_pictures =
                run( { "build", "small.vtm", "-o", "with/p.vtm" } );
            ASSERT_EQ( with_pictures.exit_code, 0 ) << with_pictures.err;
            const auto run = this->run(
                { "build", "small.vtm", "--no-pictures", "-o", "out/p.vtm" } );
            ASSERT_EQ( run.exit_code, 0 ) << run.out << run.err;
            EXPECT_TRUE( std::filesystem::exists( folder() / "out/p.vtm" ) );
            EXPECT_EQ( std::distance(
                           std::filesystem::directory_iterator{ folder() / "out" },
                           std::filesystem::directory_iterator{} ),
                2 );
            EXPECT_EQ( run.out.find( "Writing the pictures" ), std::string::npos )
                << run.out;
            EXPECT_EQ( run.out.find( ".svg" ), std::string::npos ) << run.out;
            auto expected = summary( with_pictures.out );
            expected = expected.substr( 0, expected.find( "\nFiles\n" ) );
            EXPECT_EQ( summary( run.out ).substr( 0, expected.size() ),
                expected );
        }

        TEST_F( ToolTest, BuildOfNamedTopAndBottomIsTheDefaultBuild )
        {
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
            const auto by_default =
                run( { "build", "small.vtm", "-o", "default.vtm" } );
            const auto by_name =
                run( { "build", "--top", "top_block_0", "--top",
                    "top_block_1", "--bottom", "bottom", "small.vtm", "-o",
                    "named.vtm" } );
            ASSERT_EQ( by_default.exit_code, 0 ) << by_default.err;
            ASSERT_EQ( by_name.exit_code, 0 ) << by_name.err;
            auto expected = summary( by_default.out );
            // Only the file names differ.
            for( std::string::size_type found;
                 ( found = expected.find( "default" ) ) != std::string::npos; )
            {
                expected.replace( found, 7, "named" );
            }
            EXPECT_EQ( summary( by_name.out ), expected );
        }

        // The model file `sample` writes by default is the embedded sample,
        // and a model file keeps all that the build needs.
        TEST_F( ToolTest, BuildOfTheWrittenDefaultSampleIsTheEmbeddedOne )
        {
            ASSERT_EQ( run( { "sample" } ).exit_code, 0 );
            const auto embedded = run( { "build", "-o", "embedded.vtm" } );
            const auto written =
                run( { "build", "sample.vtm", "-o", "written.vtm" } );
            ASSERT_EQ( embedded.exit_code, 0 ) << embedded.err;
            ASSERT_EQ( written.exit_code, 0 ) << written.err;
            auto expected = summary( embedded.out );
            for( std::string::size_type found;
                 ( found = expected.find( "embedded" ) ) != std::string::npos; )
            {
                expected.replace( found, 8, "written" );
            }
            EXPECT_EQ( summary( written.out ), expected );
        }

        TEST_F( ToolTest, BuildRefusesAModelWithIssuesAndWritesNothing )
        {
            ASSERT_EQ( run( small_sample_arguments( "fold.vtm", { "fold" } ) )
                           .exit_code,
                0 );
            const auto run = this->run( { "build", "fold.vtm" } );
            EXPECT_EQ( run.exit_code, 1 ) << run.out << run.err;
            EXPECT_NE(
                run.out.find( "1 issues with Multi z" ), std::string::npos )
                << run.out;
            EXPECT_EQ( nb_lines( run.err ), 1 ) << run.err;
            EXPECT_NE( run.err.find( "nothing was built" ), std::string::npos )
                << run.err;
            EXPECT_FALSE(
                std::filesystem::exists( folder() / "pillar_model.vtm" ) );
        }
    } // namespace
} // namespace brevane::test
