#pragma once

#include <cstdint>

#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // A digest of the model's geometry as an inspection sees it: the points
    // of every corner, line and surface, in model order, and the number of
    // unique vertices. Moving, adding or removing a point changes it; it is
    // the same in every run for the same model. Never 0.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::uint64_t model_fingerprint(
        const StructuralModel& model );
} // namespace brevane::internal
