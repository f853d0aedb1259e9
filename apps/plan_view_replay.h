#pragma once

#include <filesystem>
#include <vector>

#include <pillar/top_surface_plan_view.h>

#include "top_surface/plan_view_statistics.h"

namespace brevane::cli
{
    // Where the pictures of the plan view go.
    struct PlanViewPictures
    {
        std::filesystem::path before_decimation;
        std::filesystem::path after_decimation;
    };

    // The plan view of the top surfaces around its decimation, and the
    // top-to-bottom order of the surface groups the pillars cross.
    struct PlanViewDecimation
    {
        internal::PlanViewStatistics before;
        internal::PlanViewStatistics after;
        std::vector< std::vector< uuid > > surface_groups_order;
    };

    // Runs again, on a model left unchanged, the stages of a build that
    // shape the plan view, as the builder runs them: projection of the top
    // surfaces, size field, insertion of corners and lines, search trees,
    // order of the surface groups, pillars of the border and line-trace
    // vertices, decimation. Draws the plan view before and after the
    // decimation into the two SVG files, with a dot on each vertex holding
    // one of those pillars. The builder keeps its plan view to itself; the
    // stages are deterministic, so this one is the same.
    [[nodiscard]] PlanViewDecimation replay_plan_view_decimation(
        const internal::TopSurfaceContext& context,
        const PlanViewPictures& pictures );
} // namespace brevane::cli
