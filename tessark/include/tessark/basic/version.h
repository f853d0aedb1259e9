#pragma once

#include <string_view>

namespace brevane
{
    // The version of the framework layer, "major.minor.patch".
    [[nodiscard]] std::string_view tessark_version();
} // namespace brevane
