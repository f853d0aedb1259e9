#pragma once

#include <filesystem>

#include "report_options.h"

namespace brevane::cli
{
    // What `brevane` does without a subcommand, on the default sample: its
    // inspection, the build with its progress and summary, the rebuilt model
    // and the pictures of the plan view in the output folder; then the same
    // sample with one defect of each kind, its repair and the inspection
    // after it. Throws when a step does not go as it should on the sample.
    void run_default_job( const std::filesystem::path& output_folder,
        Verbosity verbosity );
} // namespace brevane::cli
