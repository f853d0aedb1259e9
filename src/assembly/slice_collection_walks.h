#pragma once

#include <vector>

#include <absl/types/span.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The walks over top and bottom surfaces that extend a slice beyond the
// places where its level ends: beyond a horizon's outcrop, and into the
// fault blocks across a fault.
namespace brevane::internal
{
    // Appends the top or bottom surfaces beyond the outcrop of a horizon
    // surface along one of its boundary lines, given the top (or bottom)
    // surfaces incident to that line; only the first two are used. The
    // first pillar that meets the horizon surface and exactly one of the two
    // tells which one lies over (under) it; the walk starts from the other.
    // With a single surface nothing is appended: no surface lies on the far
    // side of the line to walk from. Throws std::out_of_range when a
    // plan-view vertex has no pillar.
    VARNHOLT_PILLAR_EXPORT void collect_beyond_outcrop(
        const AssemblyContext& context, const uuid& horizon_surface,
        absl::Span< const uuid > outcrop_surfaces, std::vector< uuid >& added );

    // Appends start (even when already listed), then follows a single path
    // of top or bottom surfaces: from the current surface, the first one, in
    // boundary-line then incidence order, that is not yet listed and is not
    // excluded becomes the next. The path ends at the first surface without
    // such a neighbour, without going back to look for other branches.
    VARNHOLT_PILLAR_EXPORT void walk_top_bottom_surfaces(
        const AssemblyContext& context, const uuid& start, const uuid& excluded,
        std::vector< uuid >& added );

    // The top and bottom surfaces in other fault blocks than the horizon
    // surface's that the given fault surfaces meet along their top or bottom
    // lines, with the top and bottom surfaces connected to them outside the
    // horizon surface's fault block. May hold a surface twice. Throws a
    // TessarkException naming the surface or block when a surface whose
    // fault block is needed has none.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< uuid >
    other_fault_block_surfaces( const AssemblyContext& context,
        const uuid& horizon_surface, absl::Span< const uuid > fault_surfaces );

    // Appends start (even when already listed), then, breadth first from
    // it, every top or bottom surface not yet listed that shares a boundary
    // line with one appended here and lies in another fault block than the
    // excluded one. Throws a TessarkException naming the surface or block
    // when a candidate's fault block is unknown.
    VARNHOLT_PILLAR_EXPORT void collect_top_bottom_neighbours(
        const AssemblyContext& context, const uuid& start,
        const uuid& excluded_fault_block, std::vector< uuid >& surfaces );
} // namespace brevane::internal
