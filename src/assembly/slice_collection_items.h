#pragma once

#include <absl/types/span.h>

#include "assembly/assembly_context.h"

namespace brevane::internal
{
    // Puts each surface in the slice collection, in order, skipping those
    // that are already items of it: a slice lists every surface once, however
    // many walks reach it.
    void add_to_slice_collection( const AssemblyContext& context,
        absl::Span< const uuid > surfaces, const uuid& collection );
} // namespace brevane::internal
