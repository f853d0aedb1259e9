#pragma once

#include <cstdint>
#include <string_view>

#include <tessark/basic/uuid.h>

namespace brevane
{
    // The uuid of a component or collection of a sample model: it depends
    // only on the seed of the model, the kind ("Surface", "Horizon"...) and
    // the name, so that one seed always gives the same model, ids included.
    // A version 8 (custom) uuid with the RFC 4122 variant bits.
    [[nodiscard]] uuid sample_uuid(
        std::uint64_t seed, std::string_view kind, std::string_view name );
} // namespace brevane
