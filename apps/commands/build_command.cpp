#include "commands/build_command.h"

#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include <io/plan_view_svg.h>

#include "json_report.h"
#include "model_input.h"
#include "pillar_build.h"
#include "report_options.h"
#include "stage_progress.h"

namespace brevane::cli
{
    namespace
    {
        struct BuildOptions
        {
            ModelInputOptions input;
            ReportOptions report;
            PillarBuildSettings build{ false, "pillar_model.vtm" };
            bool no_pictures{ false };
        };

        void build( const BuildOptions& options )
        {
            auto settings = options.build;
            settings.pictures = !options.no_pictures;
            check_build_outputs( settings );
            auto& out = text_stream( options.report );
            out << "Building the pillar model of "
                << input_origin( options.input.model ) << "\n";
            auto input = [&options, &out]
            {
                StageProgress reading{ out, "Reading the model" };
                auto model = read_input_model( options.input );
                reading.finish();
                return model;
            }();
            const auto report = build_pillar_model(
                input, settings, out, options.report.verbosity );
            if( options.report.json )
            {
                auto document = json_document( "build", input.origin );
                document.update( build_json( input.model, report ) );
                print_json(
                    std::move( document ), is_success( report ) ? 0 : 1 );
            }
            check_build_report( report );
        }
    } // namespace

    Command add_build_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "build",
            "Build the pillar model, print its summary, and write it with "
            "pictures of the plan view before and after decimation (above "
            + std::to_string( PLAN_VIEW_SVG_MAX_TRIANGLES )
            + " triangles, only the line traces, the border and the "
              "pillars on them are drawn)" );
        auto options = std::make_shared< BuildOptions >();
        add_model_input_options( *parser, options->input );
        add_report_options( *parser, options->report, true );
        parser->add_flag( "--cells", options->build.add_block_mesh,
            "Fill the blocks with cells" );
        parser->add_flag( "--no-pictures", options->no_pictures,
            "Write the rebuilt model only, without the pictures" );
        parser
            ->add_option( "-o,--output", options->build.model_file,
                "Rebuilt model file (.vtm), by default pillar_model.vtm; the "
                "pictures go beside it" )
            ->type_name( "FILE" );
        return { parser, [options]
            {
                build( *options );
            } };
    }
} // namespace brevane::cli
