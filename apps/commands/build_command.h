#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane build [model] [--top NAME...] [--bottom NAME...] [--cells]
    // [-o FILE]`: builds the pillar model with a progress line per stage,
    // prints its summary and writes it with pictures of the plan view.
    [[nodiscard]] Command add_build_command( CLI::App& app );
} // namespace brevane::cli
