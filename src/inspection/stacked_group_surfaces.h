#pragma once

#include <optional>

#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

namespace brevane::internal
{
    // Two points of one surface group (the surfaces of one horizon that
    // bound one block, or all the surfaces of one fault) on one vertical
    // line, further apart than the point tolerance: a column meets the
    // group twice there, which no layer boundary may do.
    struct StackedGroupPoints
    {
        uuid upper_surface;
        uuid lower_surface;
        Point3D upper;
        Point3D lower;
    };

    // The first such pair of the group found at the centre of a triangle
    // lying strictly inside another triangle of the group in plan view, or
    // nothing. The centres of up to 2^16 triangles, evenly spread in the
    // group's order, are tried in one pass over its triangles; triangles of
    // no area in plan view (vertical parts) are left out.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< StackedGroupPoints >
    find_stacked_group_points(
        const StructuralModel& model, const SurfaceGroup& group );
} // namespace brevane::internal
