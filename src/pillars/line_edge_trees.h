#pragma once

#include <optional>

#include <absl/container/flat_hash_map.h>

#include <tessark/geometry/basic_objects.h>
#include <tessark/model/brep.h>
#include <tessark/search/aabb.h>

#include <pillar/varnholt_pillar_export.h>

// Search trees over the edges of the model's lines. A plan-view trace of a
// line away from the tops forgets which line edge it follows once it is
// decimated; a pillar standing on it finds that edge again here, so that
// the line's surfaces still get the line's height there.
namespace brevane::internal
{
    using LineEdgeTrees = absl::flat_hash_map< uuid, AABBTree< 3 > >;

    [[nodiscard]] VARNHOLT_PILLAR_EXPORT LineEdgeTrees create_line_edge_trees(
        const BRep& model );

    // The edge of the line passing within 1e-6 of the vertical line through
    // the pillar segment, the nearest one (the smallest index among equally
    // near ones); none when no edge passes that close.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< index_t >
        line_edge_along_pillar( const BRep& model, const LineEdgeTrees& trees,
            const uuid& line, const Segment3D& pillar );
} // namespace brevane::internal
