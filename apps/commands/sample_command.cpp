#include "commands/sample_command.h"

#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <samples/sample_ids.h>
#include <samples/sample_model.h>

#include "default_sample.h"
#include "model_defects.h"
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
        // The options start at the default sample's parameters.
        struct SampleOptions
        {
            index_t nb_horizons{ 0 };
            index_t nb_faults{ 0 };
            index_t top_triangles{ 0 };
            std::uint64_t seed{ 0 };
            std::vector< std::string > defects;
            std::filesystem::path output{ "sample.vtm" };
            ReportOptions report;
        };

        SampleOptions default_options()
        {
            const auto parameters = default_sample_parameters();
            SampleOptions options;
            options.nb_horizons = parameters.nb_horizons;
            options.nb_faults =
                static_cast< index_t >( parameters.faults.size() );
            options.top_triangles = parameters.resolution.target_top_triangles;
            options.seed = parameters.seed;
            return options;
        }

        // The defects asked for, each once, in the order of the kinds.
        std::vector< ModelDefect > chosen_defects(
            const std::vector< std::string >& names )
        {
            std::vector< ModelDefect > defects;
            for( const auto defect : ALL_MODEL_DEFECTS )
            {
                for( const auto& name : names )
                {
                    if( name == "all" || defect_of_name( name ) == defect )
                    {
                        defects.push_back( defect );
                        break;
                    }
                }
            }
            return defects;
        }

        void write_sample( const SampleOptions& options )
        {
            check_model_file_path( options.output );
            auto& out = text_stream( options.report );
            auto parameters = default_sample_parameters();
            parameters.nb_horizons = options.nb_horizons;
            parameters.resolution.target_top_triangles = options.top_triangles;
            parameters.seed = options.seed;
            SampleModel sample;
            try
            {
                parameters.faults =
                    spread_faults( parameters.box, options.nb_faults );
                out << "Sample model: " << describe_sample( parameters ) << "\n";
                sample = build_sample_model( parameters );
                for( const auto defect : chosen_defects( options.defects ) )
                {
                    add_defect( sample, defect, sample_id_key( parameters ) );
                    out << "  defect: " << defect_name( defect ) << "\n";
                }
            }
            catch( const TessarkException& error )
            {
                throw UsageError{ "no sample model with these options: ",
                    error.what() };
            }
            out << "  " << describe_model( sample.model ) << "\n";
            OutputFiles outputs;
            write_model_file( sample.model, options.output, outputs );
            outputs.keep();
            out << "\nFiles\n";
            print_row( out, "  ", "model", options.output.string() );
        }
    } // namespace

    Command add_sample_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "sample",
            "Write a model of the sample-model factory: a box cut "
            "by faults into blocks and by horizons into layers" );
        auto options = std::make_shared< SampleOptions >( default_options() );
        parser
            ->add_option(
                "--horizons", options->nb_horizons, "Number of horizons" )
            ->type_name( "N" )
            ->check( CLI::Range( 1, 100 ) )
            ->capture_default_str();
        parser
            ->add_option( "--faults", options->nb_faults,
                "Number of faults, spread across the box" )
            ->type_name( "N" )
            ->check( CLI::Range( 0, 10 ) )
            ->capture_default_str();
        parser
            ->add_option( "--top-triangles", options->top_triangles,
                "Approximate number of triangles of the topography" )
            ->type_name( "N" )
            ->check( CLI::Range( 2, 10000000 ) )
            ->capture_default_str();
        parser
            ->add_option( "--seed", options->seed,
                "Seed of the hills, of the mesh jitter and of the uuids: one "
                "seed always gives the same model" )
            ->type_name( "N" )
            ->check( CLI::Validator{
                []( const std::string& text )
                {
                    // Read as an unsigned number, "-1" would wrap around.
                    return text.empty() || text.front() == '-'
                               ? "the seed is a whole number from 0 up, not "
                                     + text
                               : std::string{};
                },
                "N" } )
            ->capture_default_str();
        std::vector< std::string > kinds{ "all" };
        for( const auto defect : ALL_MODEL_DEFECTS )
        {
            kinds.emplace_back( defect_name( defect ) );
        }
        parser
            ->add_option( "--defects", options->defects,
                "A defect the inspection reports, repeatable, for trying the "
                "inspection and the repair (off-border is the one the repair "
                "mends)" )
            ->type_name( "KIND" )
            ->allow_extra_args( false )
            ->check( CLI::IsMember( kinds ) );
        parser
            ->add_option( "-o,--output", options->output,
                "Model file (.vtm), by default sample.vtm" )
            ->type_name( "FILE" );
        add_report_options( *parser, options->report, false );
        return { parser, [options]
            {
                write_sample( *options );
            } };
    }
} // namespace brevane::cli
