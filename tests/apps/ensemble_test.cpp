#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        using EnsembleTest = ToolTest;

#ifdef BREVANE_ENSEMBLE
        // The subcommand hands every word to the Python package's parser.
        TEST_F( EnsembleTest, HelpComesFromThePackage )
        {
            const auto run = this->run( { "ensemble", "--help" } );
            EXPECT_EQ( run.exit_code, 0 ) << run.err;
            for( const auto* option : { "--out", "--workers", "--scheduler",
                     "--time-limit", "--depth-std" } )
            {
                EXPECT_NE( run.out.find( option ), std::string::npos )
                    << option << " missing from\n"
                    << run.out;
            }
        }

        TEST_F( EnsembleTest, BadOptionExitsWithTwo )
        {
            const auto run = this->run(
                { "ensemble", "--out", "ensemble", "--no-such-option" } );
            EXPECT_EQ( run.exit_code, 2 );
            EXPECT_NE( run.err.find( "--no-such-option" ), std::string::npos )
                << run.err;
            // The usage line names the tool's command, not the interpreter.
            EXPECT_NE( run.err.find( "brevane ensemble" ), std::string::npos )
                << run.err;
        }

        TEST_F( EnsembleTest, WritesTheTableAndThePicture )
        {
            const auto run = this->run( { "ensemble", "--out", "ensemble", "-n",
                "2", "--workers", "1", "--horizons", "1", "--faults", "1",
                "--top-triangles", "200", "--depth-std", "1" } );
            ASSERT_EQ( run.exit_code, 0 ) << run.err;
            std::ifstream table{ folder() / "ensemble" / "ensemble.csv" };
            ASSERT_TRUE( table.good() );
            std::size_t nb_rows{ 0 };
            for( std::string row; std::getline( table, row ); )
            {
                nb_rows++;
            }
            EXPECT_EQ( nb_rows, 3 ) << "a header and two realisations";
            EXPECT_TRUE( std::filesystem::exists(
                folder() / "ensemble" / "volumes.png" ) );
        }
#endif
    } // namespace
} // namespace brevane::test
