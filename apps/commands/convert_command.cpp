#include "commands/convert_command.h"

#include <memory>

#include <CLI/CLI.hpp>

#include <io/tsurf_model.h>

#include "derived_ids.h"
#include "model_files.h"
#include "model_summary.h"
#include "output_files.h"
#include "report_format.h"
#include "report_options.h"
#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        struct ConvertOptions
        {
            std::filesystem::path description;
            // Empty for the description's name with ".vtm", in the current
            // folder.
            std::filesystem::path output;
            ReportOptions report;
        };

        ImportedModel import_model( const std::filesystem::path& description )
        {
            if( !std::filesystem::is_regular_file( description ) )
            {
                throw UsageError{ "no TSurf set description ",
                    description.string() };
            }
            try
            {
                return import_tsurf_model( description );
            }
            catch( const std::exception& error )
            {
                throw UsageError{ "cannot import ", description.string(), ": ",
                    error.what() };
            }
        }

        void convert( const ConvertOptions& options )
        {
            const auto output =
                options.output.empty()
                    ? std::filesystem::path{ options.description.stem().string()
                                             + ".vtm" }
                    : options.output;
            check_model_file_path( output );
            const auto imported = import_model( options.description );

            auto& out = text_stream( options.report );
            out << "Model of " << options.description.string() << "\n";
            out << "  " << describe_model( imported.model ) << "\n";
            print_row( out, "  ", "top surfaces",
                std::to_string( imported.top_surfaces.size() ) );
            print_row( out, "  ", "bottom surfaces",
                std::to_string( imported.bottom_surfaces.size() ) );
            print_row( out, "  ", "problems",
                std::to_string( imported.problems.size() ) );
            for( const auto& problem : imported.problems )
            {
                out << "    " << problem << "\n";
            }
            OutputFiles outputs;
            write_model_file(
                with_derived_ids( imported.model ), output, outputs );
            outputs.keep();
            out << "\nFiles\n";
            print_row( out, "  ", "model", output.string() );
            if( !imported.problems.empty() )
            {
                throw TessarkException{ "the surfaces do not form a closed "
                                        "model: ",
                    counted( imported.problems.size(), "problem" ) };
            }
        }
    } // namespace

    Command add_convert_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "convert",
            "Turn a set of TSurf files, described by a JSON file, into a "
            "model file" );
        auto options = std::make_shared< ConvertOptions >();
        parser
            ->add_option( "description", options->description,
                "JSON description of the TSurf files and of what each "
                "surface is" )
            ->required()
            ->type_name( "FILE" );
        parser
            ->add_option( "-o,--output", options->output,
                "Model file (.vtm), by default the description's name with "
                ".vtm in the current folder" )
            ->type_name( "FILE" );
        add_report_options( *parser, options->report, false );
        return { parser, [options]
            {
                convert( *options );
            } };
    }
} // namespace brevane::cli
