#pragma once

#include <array>
#include <optional>
#include <vector>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The fault surfaces that carry a horizon's level along a fault, from the
// line where the horizon ends against it up to the top or down to the
// bottom.
namespace brevane::internal
{
    // The fault surfaces reached from each of the (at most two) fault
    // surfaces bounded by a horizon line, along the faults, without
    // crossing back to that line: side 0 from the first such surface in
    // incidence order, side 1 from the second (empty when there is none).
    using FaultSides = std::array< std::vector< uuid >, 2 >;

    // The side of the fault that the level of the horizon surface follows
    // beyond its boundary line: the side reaching the top when the horizon
    // comes before the fault in the surface groups order, the side reaching
    // the bottom when the fault comes first. None when the line bounds no
    // fault surface, or when one side reaches both the top and the bottom
    // (the level cannot tell where to go). Throws a TessarkException naming
    // the line and the surface when the line bounds more than two fault
    // surfaces.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< std::vector< uuid > >
    fault_side_surfaces( const AssemblyContext& context,
        const uuid& horizon_surface, const uuid& line );

    // The side to follow, given whether the fault lies above the horizon in
    // the surface groups order: none when a side reaches both the top and
    // the bottom; otherwise side 0 when it reaches the bottom (fault above)
    // or the top (fault below), else side 1, which may be empty.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< std::vector< uuid > >
    select_fault_side( const AssemblyContext& context, const FaultSides& sides,
        bool fault_above );
} // namespace brevane::internal
