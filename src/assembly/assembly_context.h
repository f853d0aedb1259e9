#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/structural_model.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/background/background_surface.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

// What the stages that rebuild the model from the pillars share.
namespace brevane::internal
{
    // The vertices of the rebuilt surface meshes standing on the pillar of
    // one plan-view vertex: (surface, vertex of its new mesh), each pair
    // once, in the order they were made.
    using SurfaceVerticesOnPillar =
        absl::InlinedVector< std::pair< uuid, index_t >, 1 >;

    // Plan-view vertex to the surface vertices on its pillar.
    using TopVertexSurfaceVertices =
        absl::flat_hash_map< index_t, SurfaceVerticesOnPillar >;

    // The model being rebuilt and what the rebuild reads: the caller's two
    // lists, the decimated plan view with its records and its "surface_ids",
    // the surface groups order, one pillar per plan-view vertex, and which
    // surfaces face down.
    struct AssemblyContext
    {
        StructuralModel& model;
        StructuralModelBuilder& builder;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
        const BackgroundSurface& background_surface;
        const VariableAttribute< std::vector< uuid > >& surface_ids;
        absl::Span< const SurfaceGroup > surface_groups_order;
        absl::Span< const Pillar > pillars;
        // The surfaces rebuilt facing down (surfaces_rebuilt_facing_down).
        const absl::flat_hash_set< uuid >& surfaces_facing_down;
    };

    // Consecutive distinct nodes of the pillars, by unique vertex: the node
    // directly below each node, and the inverse.
    struct PillarLinks
    {
        absl::flat_hash_map< index_t, index_t > unique_vertex_below;
        absl::flat_hash_map< index_t, index_t > unique_vertex_above;
    };

    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_top_surface(
        const AssemblyContext& context, const uuid& surface );
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_bottom_surface(
        const AssemblyContext& context, const uuid& surface );

    // A line of a horizon, a top or a bottom surface: one of its incident
    // surfaces is in a "Horizon" collection or in one of the two lists.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_horizon_line(
        const AssemblyContext& context, const uuid& line );

    // A line of a fault: one of its incident surfaces is in a "Fault"
    // collection.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_fault_line(
        const AssemblyContext& context, const uuid& line );

    // The first "FaultBlock" collection holding the block.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< uuid >
        fault_block_of_block( const StructuralModel& model, const uuid& block );

    // The vertex of the surface's new mesh on the pillar of the plan-view
    // vertex, none when the surface has none there. Throws the hash map's
    // out-of-range error when no surface has a vertex on that pillar.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< index_t >
        surface_vertex_on_pillar( const TopVertexSurfaceVertices& vertices,
            index_t top_vertex,
            const uuid& surface );
} // namespace brevane::internal
