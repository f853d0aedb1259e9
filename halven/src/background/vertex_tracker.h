#pragma once

#include <optional>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/common.h>

namespace brevane::internal::detail
{
    // Follows the vertices of an original numbering through collapses and
    // compactions. Between two compactions, merged vertices form the sets
    // of a union-find over the current vertex indices (union by size, so a
    // look-up climbs O(log n) parents without changing anything); each set
    // knows the live vertex it ended in. A compaction resolves every
    // original vertex to its new index and starts the sets afresh.
    class VertexTracker
    {
    public:
        explicit VertexTracker( index_t nb_vertices );

        // A vertex created with that index; it joins the original numbering
        // while no compaction has happened.
        void add_vertex( index_t vertex );
        // `from` was merged into the live vertex `to`.
        void merge( index_t from, index_t to );
        [[nodiscard]] std::optional< index_t > current( index_t original ) const;
        // old2new maps the current indices to the compacted ones (NO_ID for
        // removed vertices); nb_vertices is the number after compaction.
        void compact( absl::Span< const index_t > old2new, index_t nb_vertices );

    private:
        [[nodiscard]] index_t root( index_t vertex ) const;
        void ensure( index_t nb_vertices );

        std::vector< index_t > original_to_current_;
        std::vector< index_t > parents_;
        std::vector< index_t > sizes_;
        // For each root, the live vertex its set ended in.
        std::vector< index_t > survivors_;
        bool compacted_{ false };
    };
} // namespace brevane::internal::detail
