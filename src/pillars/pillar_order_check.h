#pragma once

#include <absl/types/span.h>

#include <tessark/model/brep.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

namespace brevane::internal
{
    // Checks that every pillar goes down the model: each point lies no
    // higher than the one before it (within 1e-6), as the surface groups
    // order lists the surfaces top to bottom. A point above the one before
    // means the two surfaces cross (a horizon pushed through the next one,
    // a bottom bulging above a horizon): throws a TessarkException naming
    // both surfaces (name and uuid), the pillar's position and the heights.
    VARNHOLT_PILLAR_EXPORT void check_pillars_go_down(
        const BRep& model, absl::Span< const Pillar > pillars );
} // namespace brevane::internal
