#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane ensemble [OPTIONS]`: builds an ensemble of perturbed
    // realisations on Dask by running the Python package brevane_ensemble
    // (`python3 -m brevane_ensemble`) with the same options; its exit code
    // is the tool's (2 for a bad command line, 1 when the ensemble could not
    // run).
    [[nodiscard]] Command add_ensemble_command( CLI::App& app );
} // namespace brevane::cli
