#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include <tessark/basic/uuid.h>
#include <tessark/geometry/point.h>

namespace brevane
{
    // Surfaces that behave as one layer: the surfaces of one horizon that
    // bound one block, or all the surfaces of one fault.
    using SurfaceGroup = std::vector< uuid >;

    // Where a pillar meets one surface.
    struct PillarIntersection
    {
        uuid surface;
        Point3D point;
    };

    // The vertical line standing on one plan-view vertex, with its meetings
    // with the model's surfaces from top to bottom.
    struct Pillar
    {
        index_t vertex{ NO_ID };
        Point3D top;
        absl::flat_hash_set< uuid > lines;
        std::vector< PillarIntersection > intersections;
    };

    // Plan-view vertex index to its pillar.
    using PillarMap = absl::flat_hash_map< index_t, Pillar >;
} // namespace brevane
