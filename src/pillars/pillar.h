#pragma once

#include <vector>

#include <absl/container/btree_set.h>
#include <absl/container/flat_hash_map.h>

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
        [[nodiscard]] bool operator==(
            const PillarIntersection& other ) const = default;

        uuid surface;
        Point3D point;
    };

    // The vertical line standing on one plan-view vertex, with its meetings
    // with the model's surfaces from top to bottom.
    struct Pillar
    {
        [[nodiscard]] bool operator==( const Pillar& other ) const = default;

        index_t vertex{ NO_ID };
        Point3D top;
        // The model lines the pillar runs along (border pillars only). An
        // ordered set, so that every walk over it is the same in every run.
        absl::btree_set< uuid > lines;
        std::vector< PillarIntersection > intersections;
    };

    // Plan-view vertex index to its pillar.
    using PillarMap = absl::flat_hash_map< index_t, Pillar >;
} // namespace brevane
