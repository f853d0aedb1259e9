#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include <pillar/varnholt_pillar_library.h>
#include <tessark/basic/version.h>

#include "commands/build_command.h"
#include "commands/command.h"
#include "commands/convert_command.h"
#include "commands/default_job.h"
#include "commands/ensemble_command.h"
#include "commands/export_command.h"
#include "commands/inspect_command.h"
#include "commands/repair_command.h"
#include "commands/sample_command.h"
#include "report_format.h"
#include "report_options.h"
#include "usage_error.h"

// brevane: from a structural model to a pillar model on the command line.
// Each subcommand lives in commands/; without one, the tool runs its
// default job on the embedded sample.
namespace
{
    using brevane::cli::ExitCode;

    int exit_code( ExitCode code )
    {
        return static_cast< int >( code );
    }

    // One line on the standard error, after what was printed so far.
    void print_error( std::string_view command, std::string_view message )
    {
        std::cout.flush();
        std::cerr << "brevane" << ( command.empty() ? "" : " " ) << command
                  << ": " << brevane::cli::one_line( message ) << std::endl;
    }

    int run_command(
        std::string_view command, const std::function< void() >& run )
    {
        try
        {
            run();
            return exit_code( ExitCode::done );
        }
        catch( const brevane::cli::UsageError& error )
        {
            print_error( command, error.what() );
            return exit_code( ExitCode::bad_usage );
        }
        catch( const std::exception& error )
        {
            print_error( command, error.what() );
            return exit_code( ExitCode::model_issues );
        }
    }

    // The options before a subcommand belong to the job run without one: a
    // subcommand would not use them, so they are refused rather than
    // ignored.
    void refuse_job_options( const CLI::App& app, const CLI::App& command )
    {
        for( const auto* option : app.get_options() )
        {
            if( option->count() != 0 && option->get_name() != "--help" )
            {
                throw brevane::cli::UsageError{ option->get_name(),
                    " applies to the job run without a subcommand, not to ",
                    command.get_name(),
                    " (its own options go after it, see brevane ",
                    command.get_name(), " --help)" };
            }
        }
    }

    // CLI11 writes a parse error in two lines by default; the tool keeps
    // every error on one.
    std::string parse_failure( const CLI::App* app, const CLI::Error& error )
    {
        std::string command{ "brevane" };
        for( const auto* subcommand : app->get_subcommands() )
        {
            command += " " + subcommand->get_name();
        }
        return command + ": " + brevane::cli::one_line( error.what() )
               + " (see " + command + " --help)\n";
    }
} // namespace

int main( int argc, char** argv )
{
    CLI::App app{ "Inspects a structural model and rebuilds it as a pillar "
                  "model. Without a subcommand, runs the whole job on the "
                  "default sample: inspection, build, pictures, and the "
                  "repair of a sample with defects.",
        "brevane" };
    app.failure_message( parse_failure );
    app.require_subcommand( 0, 1 );
    app.set_version_flag( "--version",
        std::string{ "brevane " } + std::string{ brevane::tessark_version() } );
    std::filesystem::path output_folder{ "brevane_output" };
    app.add_option( "--output-dir", output_folder,
           "Folder of the rebuilt model and the pictures of the job run "
           "without a subcommand, by default brevane_output" )
        ->type_name( "FOLDER" );
    brevane::cli::ReportOptions report;
    brevane::cli::add_report_options( app, report, false );
    const std::vector< brevane::cli::Command > commands{
        brevane::cli::add_sample_command( app ),
        brevane::cli::add_inspect_command( app ),
        brevane::cli::add_repair_command( app ),
        brevane::cli::add_build_command( app ),
        brevane::cli::add_convert_command( app ),
        brevane::cli::add_export_command( app ),
        brevane::cli::add_ensemble_command( app ),
    };
    try
    {
        app.parse( argc, argv );
    }
    catch( const CLI::ParseError& error )
    {
        return app.exit( error ) == 0 ? exit_code( ExitCode::done )
                                      : exit_code( ExitCode::bad_usage );
    }

    const auto chosen = std::find_if( commands.begin(), commands.end(),
        []( const brevane::cli::Command& command )
        {
            return command.parser->parsed();
        } );
    const auto name =
        chosen == commands.end() ? std::string{} : chosen->parser->get_name();
    return run_command( name,
        [&]
        {
            if( chosen != commands.end() )
            {
                refuse_job_options( app, *chosen->parser );
            }
            brevane::VarnholtPillarLibrary::initialize();
            if( chosen == commands.end() )
            {
                brevane::cli::run_default_job(
                    output_folder, report.verbosity );
            }
            else
            {
                chosen->run();
            }
        } );
}
