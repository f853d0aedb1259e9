#pragma once

#include <cstdint>

#include <absl/types/span.h>

#include <tessark/model/structural_model.h>

// The same model written another way: surfaces wound the other way round,
// polygons numbered in another order. A build must not tell them apart.
namespace brevane
{
    // Reverses the vertex order of every polygon of the surface; adjacencies
    // follow. Vertices, their positions and their unique vertices stay.
    void reverse_surface_winding( StructuralModel& model, const uuid& surface );

    // Reverses each surface of the model, or not, by a coin drawn from the
    // seed and the surface's place in the model.
    void rewind_surfaces_at_random( StructuralModel& model, std::uint64_t seed );

    // Numbers the polygons of each listed surface in an order drawn from the
    // seed.
    void shuffle_surface_polygons( StructuralModel& model,
        absl::Span< const uuid > surfaces, std::uint64_t seed );
} // namespace brevane
