#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane inspect [model] [--top NAME...] [--bottom NAME...]`: prints
    // the inspection report of the model; fails when it finds issues.
    [[nodiscard]] Command add_inspect_command( CLI::App& app );
} // namespace brevane::cli
