#pragma once

#include <cstdint>
#include <ostream>

#include <pillar/pillar_structural_model_inspection_result.h>

#include "model_input.h"

namespace brevane::cli
{
    // The inspections around a repair and what it mended.
    struct RepairReport
    {
        PillarStructuralModelInspectionResult before;
        // Side vertices moved onto the topography border.
        std::uint32_t nb_moved{ 0 };
        PillarStructuralModelInspectionResult after;
    };

    // Inspects the model, repairs in place what the repair mends (side
    // vertices off the topography border), then inspects it again, printing
    // both reports and what was repaired.
    [[nodiscard]] RepairReport repair_and_report(
        InputModel& input, std::ostream& out );
} // namespace brevane::cli
