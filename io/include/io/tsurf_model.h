#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <tessark/model/structural_model.h>

namespace brevane
{
    // A structural model made from a set of TSurf files.
    struct ImportedModel
    {
        StructuralModel model;
        // Surfaces of role "topography".
        std::vector< uuid > top_surfaces;
        // Surfaces of role "bottom".
        std::vector< uuid > bottom_surfaces;
        // What keeps the surfaces from forming a closed model, one line
        // each (surfaces whose borders do not meet, naming the surface and
        // where); empty when the model is closed and valid.
        std::vector< std::string > problems;
    };

    // Reads the JSON description (see io/tsurf_description.h) and every
    // TSurf file it names (paths relative to the description's folder), and
    // assembles the model (see assemble_tsurf_model). Throws a
    // TessarkException naming the description and the entry for bad JSON,
    // an unknown role, a missing file or part, a part taken twice, and a
    // block naming no surface or an ambiguous one; errors of a TSurf file
    // also name its line. A set of surfaces that does not close gives
    // problems, not an exception.
    [[nodiscard]] ImportedModel import_tsurf_model(
        const std::filesystem::path& description );
} // namespace brevane
