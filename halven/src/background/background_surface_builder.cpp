#include <halven/background/background_surface_builder.h>

namespace brevane::internal
{
    BackgroundSurfaceBuilder::BackgroundSurfaceBuilder(
        BackgroundSurface& background )
        : MacroInfoBuilder( background ), MacroEdgesBuilder( background )
    {
    }
} // namespace brevane::internal
