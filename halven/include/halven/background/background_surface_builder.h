#pragma once

#include <halven/background/background_surface.h>

namespace brevane::internal
{
    // The writer of the records of a BackgroundSurface. The triangulation
    // itself is changed through its TriangulatedSurfaceBuilder, or locally
    // through a BackgroundSurfaceModifier, which keeps the records right.
    class BackgroundSurfaceBuilder : public MacroInfoBuilder,
                                     public MacroEdgesBuilder
    {
    public:
        explicit BackgroundSurfaceBuilder( BackgroundSurface& background );
    };
} // namespace brevane::internal
