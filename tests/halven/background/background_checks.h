#pragma once

#include <string>
#include <vector>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_modifier.h>

// Whole-surface consistency checks of background surfaces, by brute force.
namespace brevane::internal::test
{
    // Sum of the areas of the live triangles.
    [[nodiscard]] double live_area( const BackgroundSurface& background,
        const BackgroundSurfaceModifier* modifier );

    // Every inconsistency found, empty when the surface is valid: live
    // triangles counter-clockwise with a positive area (exact test),
    // symmetric adjacency across opposite polygon edges, no directed edge
    // used twice, no border edge that a live triangle runs the other way,
    // unique edges matching the polygon edges, vertex links and fans holding
    // exactly the live corners (border vertices linked at the border),
    // macro records only on live elements. The modifier, when given, tells
    // which elements are deleted.
    [[nodiscard]] std::vector< std::string > background_problems(
        const BackgroundSurface& background,
        const BackgroundSurfaceModifier* modifier );
} // namespace brevane::internal::test
