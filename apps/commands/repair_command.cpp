#include "commands/repair_command.h"

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "inspection_report.h"
#include "json_report.h"
#include "model_files.h"
#include "model_input.h"
#include "model_repair.h"
#include "output_files.h"
#include "report_format.h"
#include "report_options.h"

namespace brevane::cli
{
    namespace
    {
        struct RepairOptions
        {
            ModelInputOptions input;
            ReportOptions report;
            std::filesystem::path output{ "repaired.vtm" };
        };

        void repair( const RepairOptions& options )
        {
            check_model_file_path( options.output );
            auto input = read_input_model( options.input );
            auto& out = text_stream( options.report );
            const auto report = repair_and_report( input, out );
            OutputFiles outputs;
            write_model_file( input.model, options.output, outputs );
            outputs.keep();
            out << "\nFiles\n";
            print_row( out, "  ", "repaired model", options.output.string() );
            const auto issues = nb_issues( report.after );
            if( options.report.json )
            {
                auto document = json_document( "repair", input.origin );
                document.update( repair_json( input.model, report ) );
                document["files"] = { { { "role", "repaired model" },
                    { "path", options.output.string() } } };
                print_json( std::move( document ), issues == 0 ? 0 : 1 );
            }
            if( issues != 0 )
            {
                throw TessarkException{ "the repaired model still has ",
                    counted( issues, "issue" ) };
            }
        }
    } // namespace

    Command add_repair_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "repair",
            "Repair what the inspection reports and the repair can mend (side "
            "vertices off the topography border), then write the model" );
        auto options = std::make_shared< RepairOptions >();
        add_model_input_options( *parser, options->input );
        add_report_options( *parser, options->report, true );
        parser
            ->add_option( "-o,--output", options->output,
                "Repaired model file (.vtm), by default repaired.vtm" )
            ->type_name( "FILE" );
        return { parser, [options]
            {
                repair( *options );
            } };
    }
} // namespace brevane::cli
