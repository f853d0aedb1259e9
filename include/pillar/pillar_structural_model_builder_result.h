#pragma once

#include <cstdint>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/uuid.h>

namespace brevane
{
    // What a build returns: the slice collections, top to bottom, and the
    // links between consecutive nodes of each pillar (two mutually inverse
    // maps between unique vertices).
    struct PillarStructuralModelBuilderResult
    {
        std::vector< uuid > slice_collection_order;
        absl::flat_hash_map< std::uint32_t, std::uint32_t > unique_vertex_below;
        absl::flat_hash_map< std::uint32_t, std::uint32_t > unique_vertex_above;
    };
} // namespace brevane
