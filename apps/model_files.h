#pragma once

#include <filesystem>

#include <tessark/model/structural_model.h>

// Model files as the commands read and write them.
namespace brevane::cli
{
    // The model of a model file. Throws a UsageError naming the file when
    // it does not exist or cannot be read as a model.
    [[nodiscard]] StructuralModel read_model_file(
        const std::filesystem::path& path );

    // Checks, before any work is done, that the path can take a model file:
    // its name ends in ".vtm" and it is not an existing folder. Throws a
    // UsageError naming the path otherwise.
    void check_model_file_path( const std::filesystem::path& path );

    // Creates the folder of the file when it is missing. Throws a
    // UsageError naming the folder when it cannot be created.
    void create_folder_of( const std::filesystem::path& file );

    // Writes the model file, creating its folder. Throws a UsageError naming
    // the file when it cannot be written.
    void write_model_file(
        const StructuralModel& model, const std::filesystem::path& path );
} // namespace brevane::cli
