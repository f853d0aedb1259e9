#pragma once

#include <ostream>

#include "build_report.h"
#include "report_options.h"

namespace brevane::cli
{
    // The summary of a rebuilt model and the files written; verbose adds
    // the surface groups order group by group and the slice collections
    // with their surfaces.
    void print_build_summary( std::ostream& out, const BuildReport& report,
        Verbosity verbosity );
} // namespace brevane::cli
