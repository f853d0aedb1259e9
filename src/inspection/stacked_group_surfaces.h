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

    // The first such pair of the group, found at the centre of a triangle
    // of the group lying strictly inside another one in plan view, or
    // nothing. Triangles of no area in plan view (vertical parts) are left
    // out. Linear in the group's triangles: a grid of about one cell per
    // triangle finds the candidates.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< StackedGroupPoints >
    find_stacked_group_points(
        const StructuralModel& model, const SurfaceGroup& group );
} // namespace brevane::internal
