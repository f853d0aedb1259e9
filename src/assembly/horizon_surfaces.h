#pragma once

#include <vector>

#include <absl/types/span.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The rebuild of the top, group and bottom surfaces from the pillars, one
// slice collection per level.
namespace brevane::internal
{
    // One level of the rebuilt model: its slice collection and its surfaces
    // (the top list, one group of the surface groups order, or the bottom
    // list). On every pillar, the first point met on one of these surfaces
    // is the level's point: all of them lie at one height there.
    struct SliceLevel
    {
        uuid collection;
        absl::Span< const uuid > surfaces;
    };

    // Rebuilds, each into a new slice collection of its level: the top
    // surfaces, the surfaces of every group of the order (for a fault group,
    // every item of the fault) and the bottom surfaces; completes the
    // collections of the horizon and fault groups; records the surface
    // vertices standing on each pillar. Returns the collections from the top
    // down, as many as the groups plus two.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< uuid >
    build_horizon_surfaces( const AssemblyContext& context,
        TopVertexSurfaceVertices& top_vertex_surface_vertices );

    // Fills the surface's empty triangulated mesh with the given plan-view
    // triangles, in their order: one mesh vertex per plan-view vertex, at
    // the level's point on its pillar, recorded in
    // top_vertex_surface_vertices. Then puts the surface in the level's
    // collection, also when it gets no triangle. Throws a TessarkException
    // "Cannot create mesh builder with key: <key>" when the mesh is not a
    // triangulated surface, "Surface point not found in pillar" when a pillar
    // meets no surface of the level, and std::out_of_range when a plan-view
    // vertex has no pillar.
    VARNHOLT_PILLAR_EXPORT void build_surface_from_pillars(
        const AssemblyContext& context, const uuid& surface,
        absl::Span< const index_t > triangles, const SliceLevel& level,
        TopVertexSurfaceVertices& top_vertex_surface_vertices );

    // Records that the surface's vertex stands on the pillar of the
    // plan-view vertex; a pair already recorded is not repeated.
    VARNHOLT_PILLAR_EXPORT void link_top_vertex(
        TopVertexSurfaceVertices& top_vertex_surface_vertices,
        index_t top_vertex, const uuid& surface, index_t surface_vertex );
} // namespace brevane::internal
