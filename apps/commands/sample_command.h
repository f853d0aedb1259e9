#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane sample [--horizons N] [--faults N] [--top-triangles N]
    // [--seed N] [--defects KIND...] [-o FILE]`: writes a model of the
    // sample-model factory, with defects for the inspection if asked.
    [[nodiscard]] Command add_sample_command( CLI::App& app );
} // namespace brevane::cli
