#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        TEST_F( ToolTest, InspectsTheDefaultSampleWithoutIssues )
        {
            const auto run = this->run( { "inspect" } );
            EXPECT_EQ( run.exit_code, 0 ) << run.err;
            EXPECT_TRUE( run.err.empty() ) << run.err;
            for( const auto* record :
                { "no issues with Multi z configurations.",
                    "no issues with Lines not crossing the entire model.",
                    "no issues with Points too far from topography "
                    "boundaries.",
                    "no issues with Surfaces not tagged as faults or as "
                    "horizons." } )
            {
                EXPECT_NE( run.out.find( record ), std::string::npos )
                    << record << " missing from\n"
                    << run.out;
            }
            EXPECT_NE( run.out.find( "the pillar model can be built" ),
                std::string::npos )
                << run.out;
        }

        struct DefectCase
        {
            std::string defect;
            // The one record of the report that must list an issue.
            std::string record;
        };

        class InspectDefectTest
            : public ToolTest,
              public ::testing::WithParamInterface< DefectCase >
        {
        };

        // Each kind of defect is reported by its own check, and by no other.
        TEST_P( InspectDefectTest, ReportsTheDefectAndExitsWithOne )
        {
            const auto& defect = GetParam();
            ASSERT_EQ(
                run( small_sample_arguments( "defect.vtm", { defect.defect } ) )
                    .exit_code,
                0 );
            const auto run = this->run( { "inspect", "defect.vtm" } );
            EXPECT_EQ( run.exit_code, 1 ) << run.out << run.err;
            EXPECT_NE( run.out.find( "1 issues with " + defect.record ),
                std::string::npos )
                << run.out;
            std::size_t nb_clean{ 0 };
            for( auto found = run.out.find( "no issues with" );
                 found != std::string::npos;
                 found = run.out.find( "no issues with", found + 1 ) )
            {
                nb_clean++;
            }
            EXPECT_EQ( nb_clean, 3 ) << run.out;
            EXPECT_EQ( nb_lines( run.err ), 1 ) << run.err;
            EXPECT_NE( run.err.find( "1 issue" ), std::string::npos )
                << run.err;
            // A fold is named by its surface and placed by a triangle.
            EXPECT_EQ( run.out.find( "folded top surface \"top_block_" )
                           != std::string::npos,
                defect.defect == "fold" )
                << run.out;
        }

        INSTANTIATE_TEST_SUITE_P( Defects, InspectDefectTest,
            ::testing::Values( DefectCase{ "fold", "Multi z configurations." },
                DefectCase{
                    "dangling-line", "Lines not crossing the entire model." },
                DefectCase{ "off-border",
                    "Points too far from topography boundaries." },
                DefectCase{ "untagged",
                    "Surfaces not tagged as faults or as horizons." } ),
            []( const ::testing::TestParamInfo< DefectCase >& info )
            {
                auto name = info.param.defect;
                name.erase(
                    std::remove( name.begin(), name.end(), '-' ), name.end() );
                return name;
            } );

        TEST_F( ToolTest, InspectsTheSurfacesNamedAsTopAndBottom )
        {
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
            // The collections "top" and "bottom" named explicitly, or their
            // surfaces one by one, are the default.
            const auto by_default = run( { "inspect", "small.vtm" } );
            const auto by_collection = run( { "inspect", "small.vtm", "--top",
                "top", "--bottom", "bottom" } );
            const auto by_surface = run(
                { "inspect", "small.vtm", "--top", "top_block_0", "--top",
                    "top_block_1", "--bottom", "bottom_block_0", "--bottom",
                    "bottom_block_1" } );
            EXPECT_EQ( by_default.exit_code, 0 ) << by_default.err;
            EXPECT_EQ( by_collection.out, by_default.out );
            EXPECT_EQ( by_surface.out, by_default.out );
            // Half of the topography leaves side vertices off the border of
            // the plan view.
            const auto half =
                run( { "inspect", "small.vtm", "--top", "top_block_0" } );
            EXPECT_EQ( half.exit_code, 1 ) << half.out << half.err;
        }

        // Top and bottom swapped: the checks a build runs first say so
        // after the inspection's records, and the command exits with 1.
        TEST_F( ToolTest, InspectionNamesProblemsNoBuildGetsPast )
        {
            ASSERT_EQ(
                run( small_sample_arguments( "small.vtm" ) ).exit_code, 0 );
            const auto swapped = run( { "inspect", "small.vtm", "--top",
                "bottom", "--bottom", "top" } );
            EXPECT_EQ( swapped.exit_code, 1 ) << swapped.err;
            EXPECT_THAT( swapped.out,
                testing::AllOf( testing::HasSubstr( "before any build: 1 problem" ),
                    testing::HasSubstr(
                        "are the top and bottom lists swapped?" ) ) );
        }
    } // namespace
} // namespace brevane::test
