#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane convert DESCRIPTION [-o FILE]`: turns a set of TSurf files,
    // described by a JSON file, into a model file; fails when the surfaces
    // do not form a closed model (the model is written all the same).
    [[nodiscard]] Command add_convert_command( CLI::App& app );
} // namespace brevane::cli
