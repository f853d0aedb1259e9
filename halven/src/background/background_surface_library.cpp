#include <halven/background/background_surface_library.h>

#include <tessark/basic/core_library.h>

namespace brevane
{
    void BackgroundSurfaceLibrary::initialize()
    {
        initialize_library< BackgroundSurfaceLibrary >( "BackgroundSurface" );
    }

    void BackgroundSurfaceLibrary::do_initialize()
    {
        TessarkCoreLibrary::initialize();
    }
} // namespace brevane
