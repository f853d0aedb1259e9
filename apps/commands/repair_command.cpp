#include "commands/repair_command.h"

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "model_files.h"
#include "model_input.h"
#include "model_repair.h"
#include "report_format.h"

namespace brevane::cli
{
    namespace
    {
        struct RepairOptions
        {
            ModelInputOptions input;
            std::filesystem::path output{ "repaired.vtm" };
        };
    } // namespace

    Command add_repair_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "repair",
            "Repair what the inspection reports and the repair can mend (side "
            "vertices off the topography border), then write the model" );
        auto options = std::make_shared< RepairOptions >();
        add_model_input_options( *parser, options->input );
        parser
            ->add_option( "-o,--output", options->output,
                "Repaired model file (.vtm), by default repaired.vtm" )
            ->type_name( "FILE" );
        return { parser, [options]
            {
                check_model_file_path( options->output );
                auto input = read_input_model( options->input );
                const auto issues = repair_and_report( input, std::cout );
                write_model_file( input.model, options->output );
                std::cout << "\nFiles\n";
                print_row( std::cout, "  ", "repaired model",
                    options->output.string() );
                if( issues != 0 )
                {
                    throw TessarkException{ "the repaired model still has ",
                        counted( issues, "issue" ) };
                }
            } };
    }
} // namespace brevane::cli
