#pragma once

#include <pillar/pillar_structural_model_inspection_result.h>
#include <pillar/varnholt_pillar_export.h>

namespace brevane
{
    class StructuralModel;

    // Moves every side-boundary vertex reported off the topography border
    // to the position the inspection recorded for it (x and y on the border,
    // its own z), in every component that shares its unique vertex. The
    // result must come from an inspection of this model, whose unique
    // vertices have not been renumbered since. Every reported unique vertex
    // is checked before any is moved: a result naming a unique vertex the
    // model does not have, or an inspection of the model as it was before a
    // change (a build, a repair, an edit: its model_fingerprint differs), or
    // one made with input no build can use (its input_problems, such as a
    // horizon named as the top), throws a TessarkException and leaves the
    // model unchanged. The other
    // three records are not used.
    VARNHOLT_PILLAR_EXPORT void repair_pillar_model_input(
        StructuralModel& model,
        const PillarStructuralModelInspectionResult& result );
} // namespace brevane
