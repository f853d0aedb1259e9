#pragma once

#include <filesystem>

#include <tessark/basic/tessark_exception.h>

namespace brevane::internal
{
    // "[save_model] <file>: <message>": every error of a save names the file
    // it was writing.
    template < typename... Args >
    [[nodiscard]] TessarkException save_error(
        const std::filesystem::path& file, const Args&... message )
    {
        return TessarkException{ "[save_model] ", file.string(), ": ",
            message... };
    }

    // "[load_model] <file>: <message>": every error of a load names the file
    // at fault.
    template < typename... Args >
    [[nodiscard]] TessarkException load_error(
        const std::filesystem::path& file, const Args&... message )
    {
        return TessarkException{ "[load_model] ", file.string(), ": ",
            message... };
    }
} // namespace brevane::internal
