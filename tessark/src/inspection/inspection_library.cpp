#include <tessark/inspection/inspection_library.h>

#include <tessark/model/model_libraries.h>

namespace brevane
{
    void TessarkInspectionLibrary::initialize()
    {
        initialize_library< TessarkInspectionLibrary >( "TessarkInspection" );
    }

    void TessarkInspectionLibrary::do_initialize()
    {
        TessarkStructuralModelLibrary::initialize();
    }
} // namespace brevane
