#pragma once

#include <vector>

#include <absl/types/span.h>

#include <tessark/geometry/point.h>

namespace brevane
{
    // Points gathered by position: group_of_point[i] is the group of point
    // i; groups are numbered from 0 in the order of their first point.
    struct CoincidentPointGroups
    {
        std::vector< index_t > group_of_point;
        index_t nb_groups{ 0 };
    };

    // Groups the points that coincide within GLOBAL_EPSILON: each point
    // joins the group (the lowest numbered) whose first point is strictly
    // closer than GLOBAL_EPSILON to it (Point::inexact_equal), or starts a
    // new one. A hash grid keeps it linear in the number of points (a point
    // is compared with the groups of its cell, and of the neighbouring cells
    // when it is near their side); the result does not depend on hash
    // order.
    [[nodiscard]] CoincidentPointGroups group_coincident_points(
        absl::Span< const Point3D > points );
} // namespace brevane
