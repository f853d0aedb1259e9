#pragma once

#include <filesystem>
#include <ostream>

#include "build_report.h"
#include "model_input.h"
#include "report_options.h"

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
        // Write the two pictures (see plan_view_svg: a large plan view is
        // drawn as an overview).
        bool pictures{ true };
    };

    // Checks, before any work is done, that the rebuilt model and its
    // pictures (when asked for) can be written (see check_model_file_path and
    // check_writable). Throws a UsageError naming the path otherwise.
    void check_build_outputs( const PillarBuildSettings& settings );

    // Inspects the input, then builds its pillar model in place and reports
    // it on out, below the caller's heading "Building the pillar model of
    // <origin>": one line per stage with its time, framed by one per step of
    // the tool's own (before the build, keeping the input's horizons; after
    // it, validating the model and measuring its horizons, writing the
    // pictures, writing the model file), then the summary (slices, pillars,
    // plan-view triangles before and after decimation, rebuilt triangles,
    // the validator's verdict, how far each rebuilt horizon lies from the
    // input one; verbose: also the surface groups order and the slice
    // collections) and the files written. The plan view's figures and
    // pictures are what the builder showed of it during the build. A
    // refused build prints its inspection; a failed one leaves the model as
    // it was. Files are written only once the model is rebuilt, even when it
    // is not valid, so that it can be looked at; whatever the build wrote is
    // removed again when writing fails (UsageError).
    [[nodiscard]] BuildReport build_pillar_model( InputModel& input,
        const PillarBuildSettings& settings, std::ostream& out,
        Verbosity verbosity );

    // True when the model was rebuilt and is valid.
    [[nodiscard]] bool is_success( const BuildReport& report );

    // Throws a TessarkException saying why, when the build was refused or
    // failed or its model is not valid.
    void check_build_report( const BuildReport& report );
} // namespace brevane::cli
