#pragma once

#include <filesystem>
#include <ostream>

#include "model_input.h"

namespace brevane::cli
{
    struct PillarBuildSettings
    {
        // Fill the blocks with cells.
        bool add_block_mesh{ false };
        // The rebuilt model; the two pictures of the plan view go beside it,
        // "<stem>_plan_view_before_decimation.svg" and
        // "<stem>_plan_view_after_decimation.svg".
        std::filesystem::path model_file;
    };

    // Builds the pillar model of the input in place and reports it: one line
    // per stage with its time, then the summary (slices, pillars, plan-view
    // triangles before and after decimation, rebuilt triangles, the
    // validator's verdict, how far each rebuilt horizon lies from the input
    // one) and the files written: the rebuilt model and the pictures. Throws
    // a TessarkException when the build refuses the model (after printing
    // its inspection report) or fails, and when the rebuilt model is not
    // valid (after writing it, so that it can be looked at).
    void build_pillar_model( InputModel& input,
        const PillarBuildSettings& settings, std::ostream& out );
} // namespace brevane::cli
