#include <tessark/basic/version.h>

namespace brevane
{
    std::string_view tessark_version()
    {
        return TESSARK_VERSION;
    }
} // namespace brevane
