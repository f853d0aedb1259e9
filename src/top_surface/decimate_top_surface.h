#pragma once

#include <halven/background/background_surface.h>

#include <pillar/metric.h>
#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar_context.h"

namespace brevane::internal
{
    // The plan view being decimated: its triangulation and its background
    // surface (the one the pillar context reads).
    struct ModifiablePlanView
    {
        TriangulatedSurface< 2 >& surface;
        BackgroundSurface& background;
    };

    // Simplifies the plan view towards the size field: keeps the records
    // that must survive (top-surface vertices, corners, lines touching a
    // top surface, closed lines) and frees the rest, collapses edges shorter
    // than the target length (trace edges only when no trace edge grows
    // beyond 1.2 times it), improves the triangles, carries the pillars over
    // to the vertices that kept their place, compacts the plan view and
    // splits the inner edges that bridge two traces. Returns the pillars
    // under the final vertex indices.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT PillarMap decimate_top_surface(
        const PillarModelContext& context,
        const ModifiablePlanView& plan_view,
        const PillarMap& pillars,
        const Metric& metric );
} // namespace brevane::internal
