#include "commands/inspect_command.h"

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "inspection_report.h"
#include "json_report.h"
#include "model_input.h"
#include "report_format.h"
#include "report_options.h"

namespace brevane::cli
{
    namespace
    {
        struct InspectOptions
        {
            ModelInputOptions input;
            ReportOptions report;
        };
    } // namespace

    Command add_inspect_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "inspect",
            "Print what the inspection says of a model: whether its pillar "
            "model can be built" );
        auto options = std::make_shared< InspectOptions >();
        add_model_input_options( *parser, options->input );
        add_report_options( *parser, options->report, true );
        return { parser, [options]
            {
                auto input = read_input_model( options->input );
                auto& out = text_stream( options->report );
                out << "Inspection of " << input.origin << "\n";
                const auto problems = print_input_problems( out, input.model,
                    input.top_surfaces, input.bottom_surfaces );
                const auto result = inspect_and_print( out, input.model,
                    input.top_surfaces, input.bottom_surfaces );
                const auto issues =
                    nb_issues( result ) + static_cast< std::uint32_t >( problems.size() );
                if( options->report.json )
                {
                    auto document = json_document( "inspect", input.origin );
                    document["inspection"] =
                        inspection_json( input.model, result );
                    document["input_problems"] = problems;
                    print_json( std::move( document ), issues == 0 ? 0 : 1 );
                }
                if( issues != 0 )
                {
                    throw TessarkException{ "the model has ",
                        counted( issues, "issue" ) };
                }
            } };
    }
} // namespace brevane::cli
