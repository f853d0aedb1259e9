#pragma once

#include <absl/types/span.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The volumetric cells of the pillar model: the columns between the pillars,
// cut by the rebuilt surfaces.
namespace brevane::internal
{
    // Fills the empty mesh of every block with the cells of the pillar
    // model. Over each plan-view triangle, the rebuilt surfaces listed in its
    // "surface_ids" are sorted from the top down; between two consecutive
    // ones lies one cell of the block both bound, built on the nodes of the
    // triangle's three pillars: a prism where the six nodes are distinct, a
    // pyramid where one pillar pinches (its two nodes are one unique
    // vertex), a tetrahedron where two pinch, nothing where all three do.
    // Block vertices are bound to the unique vertices of the surface nodes
    // they stand on, one per unique vertex and block, so that cells sharing
    // a face share its vertices; adjacencies are computed at the end.
    //
    // Surfaces that coincide over the triangle (same three nodes) form one
    // layer, whose blocks are those of all its surfaces. Where two
    // consecutive layers bound two common blocks (a fault and a horizon that
    // ends on it), the cell goes to the one that is not the block of the
    // cell above. Throws a TessarkException naming the
    // plan-view triangle, the two surfaces and their slices when a surface
    // lies below the next one on a pillar (the cell would be inverted), when
    // no block, or more than one, lies between them, or when the triangle is
    // flat in plan view.
    VARNHOLT_PILLAR_EXPORT void build_block_cells(
        const AssemblyContext& context,
        const TopVertexSurfaceVertices& top_vertex_surface_vertices,
        absl::Span< const uuid > slice_collection_order );
} // namespace brevane::internal
