#include <gtest/gtest.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        TEST_F( ToolTest, WithoutCommandRunsTheWholeJobOnTheDefaultSample )
        {
            const auto run = this->run( { "--output-dir", "job" } );
            ASSERT_EQ( run.exit_code, 0 ) << run.out << run.err;
            EXPECT_TRUE( run.err.empty() ) << run.err;
            // The parts of the job, in order.
            std::size_t previous{ 0 };
            for( const auto* part : { "Default sample: 3 horizons, 2 faults",
                     "Inspection of the default sample",
                     "the pillar model can be built",
                     "Building the pillar model", "Decimating top surface",
                     "Summary", "validation             valid",
                     "with one defect of each kind", "1 issues with Multi z",
                     "moved 1 side vertex onto the topography border",
                     "Inspection after the repair",
                     "no issues with Points too far" } )
            {
                const auto found = run.out.find( part, previous );
                ASSERT_NE( found, std::string::npos )
                    << part << " missing or out of order in\n"
                    << run.out;
                previous = found;
            }
            for( const auto* file : { "job/pillar_model.vtm",
                     "job/pillar_model_plan_view_before_decimation.svg",
                     "job/pillar_model_plan_view_after_decimation.svg" } )
            {
                EXPECT_TRUE( std::filesystem::exists( folder() / file ) )
                    << file;
            }
        }
    } // namespace
} // namespace brevane::test
