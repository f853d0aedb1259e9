#include <halven/modifier/model_modifier_library.h>

#include <tessark/basic/core_library.h>

namespace brevane
{
    void ModelModifierLibrary::initialize()
    {
        initialize_library< ModelModifierLibrary >( "ModelModifier" );
    }

    void ModelModifierLibrary::do_initialize()
    {
        TessarkCoreLibrary::initialize();
    }
} // namespace brevane
