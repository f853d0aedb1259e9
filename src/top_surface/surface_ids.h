#pragma once

#include <vector>

#include <tessark/basic/attribute.h>
#include <tessark/basic/uuid.h>

#include <halven/background/background_surface.h>

#include <pillar/top_surface_plan_view.h>
#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // Appends to each plan-view triangle's list the ids of the model
    // surfaces above or below it, found from the traces of the lines alone.
    //
    // The traces (edges with macro edge records) cut the plan view into
    // regions. Each surface that is not a side wall floods the regions from
    // the trace of one of its boundary lines (a side-wall line when it has
    // one, else its first boundary line): a flood never crosses a trace of
    // one of the surface's boundary lines, and is abandoned when it meets a
    // trace of other lines that leads to no region it has not yet taken
    // (the plan-view border, a dangling trace). The regions of every
    // completed flood get the surface's id, once per time they were taken,
    // so a triangle may list an id twice.
    //
    // A surface without boundary lines has nowhere to start from and gets
    // no triangle. Throws a TessarkException naming the surface and the line
    // when the starting line has no trace in the plan view.
    VARNHOLT_PILLAR_EXPORT void assign_surface_ids(
        const TopSurfaceContext& context, const BackgroundSurface& background,
        VariableAttribute< std::vector< uuid > >& surface_ids );
} // namespace brevane::internal
