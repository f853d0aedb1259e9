#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <tessark/model/structural_model.h>

namespace CLI
{
    class App;
} // namespace CLI

// Where a command takes its model from, and which of its surfaces are the
// top and the bottom of the pillar model.
namespace brevane::cli
{
    struct ModelInputOptions
    {
        // Empty for the default sample.
        std::filesystem::path model;
        // Empty for the model boundary named "top" (or "bottom").
        std::vector< std::string > top_names;
        std::vector< std::string > bottom_names;
    };

    // Adds the optional model file argument to the command.
    void add_model_argument( CLI::App& command, std::filesystem::path& model );

    // Adds the optional model file argument and the --top and --bottom
    // options to the command, bound to the record.
    void add_model_input_options(
        CLI::App& command, ModelInputOptions& options );

    // A model with its top and bottom surfaces. A builder keeps views on the
    // model and the lists: make it once the record is in its final place.
    struct InputModel
    {
        StructuralModel model;
        std::vector< uuid > top_surfaces;
        std::vector< uuid > bottom_surfaces;
        // The file it was read from, or "the default sample", for messages.
        std::string origin;
    };

    // The model file, or "the default sample" when the path is empty, for
    // messages.
    [[nodiscard]] std::string input_origin(
        const std::filesystem::path& model );

    // Reads the model file, or builds the default sample when the path is
    // empty; no top and bottom surfaces. Throws a UsageError when the file
    // cannot be read.
    [[nodiscard]] InputModel read_model_argument(
        const std::filesystem::path& model );

    // Reads the model file (or builds the default sample) and finds the
    // surfaces named by the options. Throws a UsageError when the file
    // cannot be read or a name matches nothing.
    [[nodiscard]] InputModel read_input_model(
        const ModelInputOptions& options );

    // Finds the top and bottom surfaces named by the options in the model.
    // Throws a UsageError when a name matches nothing.
    void find_top_and_bottom(
        InputModel& input, const ModelInputOptions& options );
} // namespace brevane::cli
