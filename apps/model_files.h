#pragma once

#include <filesystem>

#include <tessark/model/structural_model.h>

#include "output_files.h"

// Model files as the commands read and write them.
namespace brevane::cli
{
    // The model of a model file. Throws a UsageError naming the file when
    // it does not exist or cannot be read as a model.
    [[nodiscard]] StructuralModel read_model_file(
        const std::filesystem::path& path );

    // Checks, before any work is done, that the path can take a model file:
    // its name ends in ".vtm", it can be written (see check_writable) and
    // its folder of meshes "<stem>_files" is not a file. Throws a UsageError
    // naming the path otherwise.
    void check_model_file_path( const std::filesystem::path& path );

    // Writes the model file, creating its folder; the file, its folder of
    // meshes and the folders created are recorded in the outputs. Throws a
    // UsageError naming the file when it cannot be written.
    void write_model_file( const StructuralModel& model,
        const std::filesystem::path& path, OutputFiles& outputs );
} // namespace brevane::cli
