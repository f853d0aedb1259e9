#include <tessark/model/model_libraries.h>

#include <tessark/basic/core_library.h>

namespace brevane
{
    void TessarkModelLibrary::initialize()
    {
        initialize_library< TessarkModelLibrary >( "TessarkModel" );
    }

    void TessarkModelLibrary::do_initialize()
    {
        TessarkCoreLibrary::initialize();
    }

    void TessarkStructuralModelLibrary::initialize()
    {
        initialize_library< TessarkStructuralModelLibrary >(
            "TessarkStructuralModel" );
    }

    void TessarkStructuralModelLibrary::do_initialize()
    {
        TessarkModelLibrary::initialize();
    }
} // namespace brevane
