#pragma once

#include <filesystem>

#include <tessark/model/structural_model.h>

// The model file: a structural model saved losslessly as VTK XML files that
// ParaView opens directly, with a JSON description of what VTK cannot hold.
// docs/model_files.md describes the format.
namespace brevane
{
    // Writes the model as <path> (a VTK XML multiblock file, ".vtm") with its
    // component meshes in the folder "<stem>_files" beside it, and the
    // description (format name, version, components, relations, collections)
    // as "<stem>_files/model.json". Throws a TessarkException naming the file
    // it could not write.
    void save_model(
        const StructuralModel& model, const std::filesystem::path& path );

    // Reads a model written by save_model. Throws a TessarkException naming
    // the file and what is wrong (another format version, a truncated or
    // missing file, a reference to a missing component, an index out of
    // range); nothing half-loaded is handed back.
    [[nodiscard]] StructuralModel load_model(
        const std::filesystem::path& path );
} // namespace brevane
