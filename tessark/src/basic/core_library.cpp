#include <tessark/basic/core_library.h>

namespace brevane
{
    void TessarkCoreLibrary::initialize()
    {
        initialize_library< TessarkCoreLibrary >( "TessarkCore" );
    }

    // Mesh builders register themselves on first use, so the core has no
    // dependency to initialise.
    void TessarkCoreLibrary::do_initialize() {}
} // namespace brevane
