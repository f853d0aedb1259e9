#include "commands/ensemble_command.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <tessark/basic/tessark_exception.h>

extern char** environ;

namespace brevane::cli
{
    namespace
    {
        // The interpreter the Python modules are built for.
        constexpr const char* PYTHON{ "/usr/bin/python3" };

        // The build tree's folder of the Python modules comes first, so that
        // a tool run from the build tree uses the modules built with it; an
        // installed tool finds them where the interpreter looks anyway.
        std::string python_path()
        {
            std::string path;
            if( std::filesystem::is_directory( BREVANE_PYTHON_BUILD_DIR ) )
            {
                path = BREVANE_PYTHON_BUILD_DIR;
            }
            if( const auto* existing = std::getenv( "PYTHONPATH" );
                existing != nullptr && *existing != '\0' )
            {
                path += ( path.empty() ? "" : ":" ) + std::string{ existing };
            }
            return path;
        }

        // Runs the package's command line and returns its exit status.
        int run_python( const std::vector< std::string >& arguments )
        {
            std::vector< std::string > words{ PYTHON, "-m",
                "brevane_ensemble" };
            words.insert( words.end(), arguments.begin(), arguments.end() );
            std::vector< char* > argv;
            for( auto& word : words )
            {
                argv.push_back( word.data() );
            }
            argv.push_back( nullptr );

            // The package names the program in its usage lines after this
            // variable, so that its errors read as the tool's.
            std::vector< std::string > environment{
                "PYTHONPATH=" + python_path(),
                "BREVANE_ENSEMBLE_PROGRAM=brevane ensemble" };
            for( auto** variable = environ; *variable != nullptr; variable++ )
            {
                const std::string_view text{ *variable };
                if( text.rfind( "PYTHONPATH=", 0 ) != 0
                    && text.rfind( "BREVANE_ENSEMBLE_PROGRAM=", 0 ) != 0 )
                {
                    environment.emplace_back( *variable );
                }
            }
            std::vector< char* > envp;
            for( auto& variable : environment )
            {
                envp.push_back( variable.data() );
            }
            envp.push_back( nullptr );

            pid_t child{};
            if( posix_spawn(
                    &child, PYTHON, nullptr, nullptr, argv.data(), envp.data() )
                != 0 )
            {
                throw TessarkException{ "cannot run ", PYTHON };
            }
            int status{ 0 };
            if( waitpid( child, &status, 0 ) != child || !WIFEXITED( status ) )
            {
                throw TessarkException{ "the ensemble run was interrupted" };
            }
            return WEXITSTATUS( status );
        }
    } // namespace

    Command add_ensemble_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "ensemble",
            "Build an ensemble of perturbed realisations as pillar models "
            "with cells on a Dask cluster, and write their table (CSV) and "
            "volume histograms (PNG); the options are those of python3 -m "
            "brevane_ensemble (see brevane ensemble --help)" );
        // Every word after the subcommand, --help included, goes to the
        // package's own parser.
        parser->prefix_command();
        parser->set_help_flag();
        return { parser, [parser]
            {
                const auto status = run_python( parser->remaining() );
                if( status != 0 )
                {
                    // The package has said what went wrong on the standard
                    // error; its code is passed on as it is (2 for a bad
                    // command line), anything else as a failure.
                    std::exit( status == 2 ? 2 : 1 );
                }
            } };
    }
} // namespace brevane::cli
