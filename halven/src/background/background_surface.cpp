#include <halven/background/background_surface.h>

namespace brevane::internal
{
    BackgroundSurface::BackgroundSurface( const TriangulatedSurface2D& surface )
        : MacroInfo( surface ), MacroEdges( surface ), surface_( &surface )
    {
    }
} // namespace brevane::internal
