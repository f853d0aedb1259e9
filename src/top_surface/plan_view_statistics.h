#pragma once

#include <halven/background/background_surface.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // What a plan view looks like, for reports: its size, the edges that
    // carry a line trace, and its smallest triangle angle.
    struct PlanViewStatistics
    {
        index_t nb_vertices{ 0 };
        index_t nb_triangles{ 0 };
        index_t nb_trace_edges{ 0 };
        // In degrees; 0 for a surface without triangles.
        double minimal_angle{ 0 };
    };

    [[nodiscard]] VARNHOLT_PILLAR_EXPORT PlanViewStatistics
        plan_view_statistics( const BackgroundSurface& background );
} // namespace brevane::internal
