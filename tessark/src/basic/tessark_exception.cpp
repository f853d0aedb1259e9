#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    TessarkException::~TessarkException() = default;
    TessarkDataException::~TessarkDataException() = default;
} // namespace brevane
