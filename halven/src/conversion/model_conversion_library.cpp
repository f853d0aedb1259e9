#include <halven/conversion/model_conversion_library.h>

#include <tessark/basic/core_library.h>

namespace brevane
{
    void ModelConversionLibrary::initialize()
    {
        initialize_library< ModelConversionLibrary >( "ModelConversion" );
    }

    void ModelConversionLibrary::do_initialize()
    {
        TessarkCoreLibrary::initialize();
    }
} // namespace brevane
