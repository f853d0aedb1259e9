#pragma once

#include "commands/command.h"

namespace brevane::cli
{
    // `brevane export [model] --tsurf FOLDER`: writes the surfaces of the
    // model as TSurf files, one per model boundary, horizon and fault, with
    // the JSON description that `brevane convert` reads back.
    [[nodiscard]] Command add_export_command( CLI::App& app );
} // namespace brevane::cli
