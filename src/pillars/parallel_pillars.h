#pragma once

#include <vector>

#include <absl/types/span.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar_context.h"

namespace brevane::internal
{
    // The pillars of the given vertices, in their order. Pillars are
    // independent and defined on the thread pool; a failure rethrown is the
    // one of the first vertex that fails, as in a loop in order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< Pillar >
        define_pillars_in_parallel( const PillarModelContext& context,
            absl::Span< const index_t > vertices,
            double top_z,
            double bottom_z );
} // namespace brevane::internal
