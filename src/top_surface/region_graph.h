#pragma once

#include <memory>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/uuid.h>
#include <tessark/mesh/graph.h>

#include <halven/background/background_surface.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // How the traces of the model lines cut a plan view into regions.
    //
    // A region is a maximal set of triangles connected through edges that
    // carry no macro edge record. The line set of an edge is the set of the
    // mesh ids of its macro edge records. The graph has one vertex per
    // region and one per distinct line set, in one index space, numbered in
    // the order they are met; an edge joins a region to each line set on
    // its boundary, once. Adjacency lists keep insertion order, so every
    // walk over the graph is the same in every run.
    struct RegionGraph
    {
        [[nodiscard]] bool is_region( index_t vertex ) const
        {
            return !triangles[vertex].empty();
        }

        // The vertices joined to a vertex, in the order the edges were made.
        [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< index_t > neighbours(
            index_t vertex ) const;

        std::unique_ptr< Graph > graph;
        // By graph vertex: the triangles of a region in the order they were
        // reached; empty for a line set.
        std::vector< std::vector< index_t > > triangles;
        // By graph vertex: the lines of a line set, sorted; empty for a
        // region.
        std::vector< std::vector< uuid > > lines;
        // Line to the line-set vertices holding it, in creation order.
        absl::flat_hash_map< uuid, std::vector< index_t > > line_sets_of_line;
    };

    // The regions and line sets of the plan view, regions numbered by a
    // breadth-first walk from each triangle not yet reached, in triangle
    // order. Linear in the size of the plan view.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT RegionGraph build_region_graph(
        const BackgroundSurface& background );
} // namespace brevane::internal
