#include "commands/inspect_command.h"

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "inspection_report.h"
#include "model_input.h"
#include "report_format.h"

namespace brevane::cli
{
    Command add_inspect_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "inspect",
            "Print what the inspection says of a model: whether its pillar "
            "model can be built" );
        auto options = std::make_shared< ModelInputOptions >();
        add_model_input_options( *parser, *options );
        return { parser, [options]
            {
                auto input = read_input_model( *options );
                std::cout << "Inspection of " << input.origin << "\n";
                const auto result = inspect_and_print( std::cout, input.model,
                    input.top_surfaces, input.bottom_surfaces );
                const auto issues = nb_issues( result );
                if( issues != 0 )
                {
                    throw TessarkException{ "the model has ",
                        counted( issues, "issue" ) };
                }
            } };
    }
} // namespace brevane::cli
