#pragma once

#include <halven/background/background_surface.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

namespace brevane::internal
{
    // Gives every border edge of the plan view the lines that run along both
    // of its end pillars, as macro edge records without an edge index, so
    // that the border is traced by the side-wall lines it follows. Throws
    // the hash map's out-of-range error when a border vertex has no pillar.
    VARNHOLT_PILLAR_EXPORT void add_border_macro_edges(
        BackgroundSurface& background, const PillarMap& pillars );
} // namespace brevane::internal
