#include "tool_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace brevane::test
{
    namespace
    {
        // A word the shell passes through unchanged.
        std::string quoted( const std::string& word )
        {
            std::string result{ "'" };
            for( const auto character : word )
            {
                if( character == '\'' )
                {
                    result.append( "'\\''" );
                }
                else
                {
                    result.push_back( character );
                }
            }
            result.push_back( '\'' );
            return result;
        }

        std::string file_text( const std::filesystem::path& path )
        {
            std::ifstream file{ path };
            std::ostringstream text;
            text << file.rdbuf();
            return text.str();
        }
    } // namespace

    ToolRun run_tool( const std::vector< std::string >& arguments,
        const std::filesystem::path& folder )
    {
        const auto out_file = folder / "tool_stdout.txt";
        const auto err_file = folder / "tool_stderr.txt";
        // Built piece by piece: chains of operator+ on temporaries trip a
        // false -Wrestrict warning of g++ 12.
        std::string command{ "cd " };
        command.append( quoted( folder.string() ) );
        command.append( " && " );
        command.append( quoted( BREVANE_TOOL ) );
        for( const auto& argument : arguments )
        {
            command.append( " " );
            command.append( quoted( argument ) );
        }
        command.append( " > " );
        command.append( quoted( out_file.string() ) );
        command.append( " 2> " );
        command.append( quoted( err_file.string() ) );
        const auto status = std::system( command.c_str() );
        ToolRun run;
        run.exit_code = WIFEXITED( status ) ? WEXITSTATUS( status ) : -1;
        run.out = file_text( out_file );
        run.err = file_text( err_file );
        std::filesystem::remove( out_file );
        std::filesystem::remove( err_file );
        return run;
    }

    std::filesystem::path docs_folder()
    {
        // This file is tests/apps/tool_run.cpp.
        return std::filesystem::path{ __FILE__ }
                   .parent_path()
                   .parent_path()
                   .parent_path()
               / "docs";
    }

    std::size_t nb_lines( const std::string& text )
    {
        std::size_t lines{ 0 };
        for( const auto character : text )
        {
            lines += character == '\n' ? 1 : 0;
        }
        return lines + ( !text.empty() && text.back() != '\n' ? 1 : 0 );
    }

    void ToolTest::SetUp()
    {
        static std::atomic< int > counter{ 0 };
        const auto* test =
            ::testing::UnitTest::GetInstance()->current_test_info();
        // Parameterised test names hold slashes.
        std::string name{ test->name() };
        for( auto& character : name )
        {
            character =
                std::isalnum( static_cast< unsigned char >( character ) )
                    ? character
                    : '_';
        }
        folder_ = std::filesystem::temp_directory_path()
                  / ( "brevane_tool_" + std::to_string( ::getpid() ) + "_"
                      + std::to_string( counter++ ) + "_" + name );
        std::filesystem::remove_all( folder_ );
        std::filesystem::create_directories( folder_ );
    }

    void ToolTest::TearDown()
    {
        std::filesystem::remove_all( folder_ );
    }

    std::vector< std::string > small_sample_arguments(
        const std::string& file, const std::vector< std::string >& defects )
    {
        std::vector< std::string > arguments{ "sample", "--horizons", "1",
            "--faults", "1", "--top-triangles", "100", "-o", file };
        for( const auto& defect : defects )
        {
            arguments.emplace_back( "--defects" );
            arguments.push_back( defect );
        }
        return arguments;
    }
} // namespace brevane::test
