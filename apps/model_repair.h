#pragma once

#include <cstdint>
#include <ostream>

#include "model_input.h"

namespace brevane::cli
{
    // Inspects the model, repairs in place what the repair mends (side
    // vertices off the topography border), then inspects it again, printing
    // both reports and what was repaired. Returns the issues left.
    std::uint32_t repair_and_report( InputModel& input, std::ostream& out );
} // namespace brevane::cli
