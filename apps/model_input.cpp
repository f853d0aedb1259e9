#include "model_input.h"

#include <CLI/CLI.hpp>

#include <samples/sample_model.h>

#include "default_sample.h"
#include "model_files.h"
#include "surface_names.h"

namespace brevane::cli
{
    void add_model_argument( CLI::App& command, std::filesystem::path& model )
    {
        command
            .add_option( "model", model,
                "Model file (.vtm) to read; the default sample when absent" )
            ->type_name( "FILE" );
    }

    void add_model_input_options(
        CLI::App& command, ModelInputOptions& options )
    {
        add_model_argument( command, options.model );
        // One name per option, repeated for more, as the ensemble command
        // takes them: a list would swallow the model file after it.
        command
            .add_option( "--top", options.top_names,
                "Collection or surface forming the top of the model, "
                "repeatable (default: the model boundary \"top\")" )
            ->type_name( "NAME" )
            ->allow_extra_args( false );
        command
            .add_option( "--bottom", options.bottom_names,
                "Collection or surface forming the bottom of the model, "
                "repeatable (default: the model boundary \"bottom\")" )
            ->type_name( "NAME" )
            ->allow_extra_args( false );
    }

    std::string input_origin( const std::filesystem::path& model )
    {
        return model.empty() ? "the default sample" : model.string();
    }

    InputModel read_model_argument( const std::filesystem::path& model )
    {
        InputModel input;
        input.model =
            model.empty()
                ? build_sample_model( default_sample_parameters() ).model
                : read_model_file( model );
        input.origin = input_origin( model );
        return input;
    }

    InputModel read_input_model( const ModelInputOptions& options )
    {
        auto input = read_model_argument( options.model );
        find_top_and_bottom( input, options );
        return input;
    }

    void find_top_and_bottom(
        InputModel& input, const ModelInputOptions& options )
    {
        input.top_surfaces = surfaces_named_or_boundary(
            input.model, options.top_names, "--top", "top" );
        input.bottom_surfaces = surfaces_named_or_boundary(
            input.model, options.bottom_names, "--bottom", "bottom" );
    }
} // namespace brevane::cli
