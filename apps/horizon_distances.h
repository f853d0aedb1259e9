#pragma once

#include <string>
#include <vector>

#include <tessark/model/structural_model.h>

namespace brevane::cli
{
    // How far a rebuilt horizon lies from the input one.
    struct HorizonDistance
    {
        std::string horizon;
        // The largest vertical distance from a vertex of a rebuilt surface
        // of the horizon to the input surface of the same id, in model
        // units; 0 when no vertex stands over the input surface.
        double largest{ 0 };
    };

    // One entry per horizon of the input model, in model order. The rebuilt
    // model keeps the ids of the input surfaces it rebuilds; a surface it no
    // longer has is skipped.
    [[nodiscard]] std::vector< HorizonDistance > horizon_distances(
        const StructuralModel& input, const StructuralModel& rebuilt );
} // namespace brevane::cli
