#pragma once

#include <optional>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The completion of the slice collections of horizon and fault groups: the
// surfaces that continue a level where its own surfaces end, so that the
// slice spans the whole plan view.
namespace brevane::internal
{
    // Adds to the collection, for each boundary line of the horizon surface:
    // where the line ends against a fault, the fault surfaces the level
    // follows up to the top or down to the bottom and the top or bottom
    // surfaces across that fault; where it reaches the top or the bottom
    // (an outcrop), the top or bottom surfaces beyond it. A surface already
    // in the collection is not added again.
    VARNHOLT_PILLAR_EXPORT void complete_horizon_collection(
        const AssemblyContext& context, const uuid& horizon_surface,
        const uuid& collection );

    // Adds to the collection of the fault's group the top surfaces met by
    // the fault's items, other than the one over the fault where it reaches
    // the bottom, and the bottom surfaces met by them, other than the one
    // under the fault where it reaches the top, each with the top or bottom
    // surfaces walked from it. A surface already in the collection is not
    // added again. Throws a TessarkException naming the fault when it meets
    // no top or no bottom surface at the border of the plan view, or when
    // the pillar there meets none, and std::out_of_range when that vertex
    // has no pillar.
    VARNHOLT_PILLAR_EXPORT void complete_fault_collection(
        const AssemblyContext& context, const uuid& fault,
        const uuid& collection );

    // The first border vertex of the plan view, in index order, with an
    // incident line that bounds both an item of the fault and a top (for
    // the bottom one: a bottom) surface; none when no vertex has one.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< index_t >
    fault_top_border_vertex(
        const AssemblyContext& context, const uuid& fault );
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< index_t >
    fault_bottom_border_vertex(
        const AssemblyContext& context, const uuid& fault );
} // namespace brevane::internal
