#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/types/span.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

namespace brevane::internal
{
    // Surface to the plan-view triangles whose "surface_ids" list it, each
    // triangle once, in increasing index order.
    using TrianglesBySurface =
        absl::flat_hash_map< uuid, std::vector< index_t > >;

    // Buckets the triangles in one pass over "surface_ids": each surface
    // gets the triangles, in the order, that a scan of the whole plan view
    // per surface would give, for a cost linear in the total length of the
    // lists instead of (surfaces) x (triangles).
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT TrianglesBySurface
    triangles_by_surface( const AssemblyContext& context );

    // The triangles listing the surface, empty when none does.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT absl::Span< const index_t >
    triangles_of_surface(
        const TrianglesBySurface& triangles, const uuid& surface );
} // namespace brevane::internal
