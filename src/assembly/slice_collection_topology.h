#pragma once

#include <vector>

#include <absl/types/span.h>

#include "assembly/assembly_context.h"

// The topological tests that decide which surfaces complete a slice.
namespace brevane::internal
{
    // A linear scan: the lists searched are short and their order matters.
    [[nodiscard]] bool is_listed(
        absl::Span< const uuid > ids, const uuid& id );

    [[nodiscard]] bool is_top_or_bottom_surface(
        const AssemblyContext& context, const uuid& surface );

    // The surfaces incident to the line that are in the list, in incidence
    // order.
    [[nodiscard]] std::vector< uuid > incident_surfaces_in(
        const AssemblyContext& context, const uuid& line,
        absl::Span< const uuid > surfaces );

    // One of the line's incident surfaces is a top (a bottom) surface.
    [[nodiscard]] bool touches_top(
        const AssemblyContext& context, const uuid& line );
    [[nodiscard]] bool touches_bottom(
        const AssemblyContext& context, const uuid& line );

    // The "FaultBlock" collection of the first block the surface bounds.
    // Throws a TessarkException naming the surface when it bounds no block,
    // or naming that block when it is in no fault block.
    [[nodiscard]] uuid fault_block_of_surface(
        const AssemblyContext& context, const uuid& surface );
} // namespace brevane::internal
