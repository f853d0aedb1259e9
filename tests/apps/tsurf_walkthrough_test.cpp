#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include <io/model_comparison.h>
#include <io/model_file.h>

#include <pillar/varnholt_pillar_library.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        std::string file_text( const std::filesystem::path& path )
        {
            std::ifstream file{ path, std::ios::binary };
            return { std::istreambuf_iterator< char >{ file }, {} };
        }

        // The fenced blocks of the guide's section of that heading, in
        // order, without their fences.
        std::vector< std::string > section_blocks(
            const std::string& guide, const std::string& heading )
        {
            const auto start = guide.find( "\n" + heading + "\n" );
            if( start == std::string::npos )
            {
                ADD_FAILURE() << "no section " << heading;
                return {};
            }
            const auto end = guide.find( "\n## ", start + 1 );
            const auto section = guide.substr( start, end - start );
            std::vector< std::string > blocks;
            std::istringstream lines{ section };
            std::string block;
            bool inside{ false };
            for( std::string line; std::getline( lines, line ); )
            {
                if( line.rfind( "```", 0 ) == 0 )
                {
                    if( inside )
                    {
                        blocks.push_back( block );
                    }
                    block.clear();
                    inside = !inside;
                    continue;
                }
                if( inside )
                {
                    block += line + "\n";
                }
            }
            return blocks;
        }

        std::vector< std::string > words( const std::string& line )
        {
            std::istringstream stream{ line };
            return { std::istream_iterator< std::string >{ stream }, {} };
        }

        // The walk-through of the user guide, run as written from a copy of
        // the source tree's docs/examples: every command succeeds, the
        // first one prints what the guide shows, the exported files are the
        // example's byte for byte, and the model converted back is the
        // model converted first.
        TEST_F( ToolTest, UserGuideTSurfWalkThroughRunsAsWritten )
        {
            std::filesystem::create_directories( folder() / "docs" );
            std::filesystem::copy( docs_folder() / "examples",
                folder() / "docs" / "examples",
                std::filesystem::copy_options::recursive );
            const auto blocks = section_blocks(
                file_text( docs_folder() / "user_guide.md" ),
                "## `brevane export` and TSurf both ways" );
            ASSERT_GE( blocks.size(), 3u );
            const auto& commands = blocks[1];
            const auto& first_output = blocks[2];
            ASSERT_NE( commands.find( "docs/examples" ), std::string::npos )
                << commands;

            std::istringstream lines{ commands };
            std::size_t nb_commands{ 0 };
            for( std::string line; std::getline( lines, line ); )
            {
                auto arguments = words( line );
                ASSERT_FALSE( arguments.empty() );
                ASSERT_EQ( arguments.front(), "brevane" ) << line;
                arguments.erase( arguments.begin() );
                const auto run = this->run( arguments );
                EXPECT_EQ( run.exit_code, 0 ) << line << "\n"
                                              << run.out << run.err;
                EXPECT_TRUE( run.err.empty() ) << line << "\n" << run.err;
                if( nb_commands == 0 )
                {
                    EXPECT_EQ( run.out, first_output );
                }
                nb_commands++;
            }
            EXPECT_EQ( nb_commands, 5u );

            const auto example = folder() / "docs" / "examples" / "faulted_box";
            std::size_t nb_files{ 0 };
            for( const auto& entry :
                std::filesystem::directory_iterator{ example } )
            {
                const auto exported =
                    folder() / "faulted_box_tsurf" / entry.path().filename();
                EXPECT_EQ( file_text( exported ), file_text( entry.path() ) )
                    << entry.path().filename();
                nb_files++;
            }
            EXPECT_EQ( nb_files, 9u );

            VarnholtPillarLibrary::initialize();
            const auto differences =
                model_differences( load_model( folder() / "faulted_box.vtm" ),
                    load_model( folder() / "faulted_box_again.vtm" ) );
            EXPECT_TRUE( differences.empty() ) << differences.front();
        }

        // Two runs of `sample` with one seed write the same model, uuids
        // included; another seed gives another model.
        TEST_F( ToolTest, OneSeedGivesTheSameModel )
        {
            for( const auto& [file, seed] :
                std::vector< std::pair< std::string, std::string > >{
                    { "first.vtm", "3" }, { "second.vtm", "3" },
                    { "other.vtm", "4" } } )
            {
                const auto run = this->run( { "sample", "--seed", seed,
                    "--top-triangles", "200", "--defects", "all", "-o",
                    file } );
                ASSERT_EQ( run.exit_code, 0 ) << run.err;
            }
            VarnholtPillarLibrary::initialize();
            const auto first = load_model( folder() / "first.vtm" );
            const auto differences =
                model_differences( first, load_model( folder() / "second.vtm" ) );
            EXPECT_TRUE( differences.empty() ) << differences.front();
            EXPECT_FALSE(
                model_differences( first, load_model( folder() / "other.vtm" ) )
                    .empty() );
        }
    } // namespace
} // namespace brevane::test
