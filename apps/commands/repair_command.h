#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane repair [model] [--top NAME...] [--bottom NAME...] [-o FILE]`:
    // inspects the model, repairs what can be repaired, inspects it again
    // and writes the repaired model; fails when issues are left.
    [[nodiscard]] Command add_repair_command( CLI::App& app );
} // namespace brevane::cli
