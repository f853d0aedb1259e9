#pragma once

#include <filesystem>

#include <tessark/model/structural_model.h>

#include <io/tsurf_description.h>

namespace brevane
{
    // Writes the surfaces of a model into a folder (created when missing) as
    // TSurf files and a description "model.json" that import_tsurf_model
    // reads back: one file per model boundary, horizon and fault, named
    // after it, holding one object per surface named after the surface;
    // the model boundary "top" gets the role topography, "bottom" the role
    // bottom, any other one the role boundary; each block is listed with
    // its boundary surfaces. Unnamed surfaces, collections and blocks are named
    // after their uuid. Returns the path of the description.
    //
    // Throws a TessarkException naming the surface or block when two
    // surfaces share a name (blocks name their surfaces), a surface is in
    // no model boundary, horizon or fault or in more than one, a polygon is
    // not a triangle, or a block has no boundary surface.
    std::filesystem::path export_tsurf_model(
        const StructuralModel& model, const std::filesystem::path& folder );
} // namespace brevane
