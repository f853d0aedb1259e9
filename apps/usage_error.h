#pragma once

#include <tessark/basic/tessark_exception.h>

namespace brevane::cli
{
    // A command line the tool cannot act on: a bad option value, a surface
    // name the model does not have, an input file that cannot be read, an
    // output path that cannot be written. The tool then exits with
    // ExitCode::bad_usage; every other exception means that the model has
    // issues or that the build failed.
    class UsageError : public TessarkException
    {
    public:
        using TessarkException::TessarkException;
    };
} // namespace brevane::cli
