#pragma once

#include <cstdint>
#include <string_view>

#include <tessark/basic/uuid.h>

namespace brevane
{
    struct SampleModelParameters;

    // The key of the ids of a sample model: its seed mixed with the numbers
    // that shape its components (horizons, faults, top triangles, box), so
    // that one seed always gives the same ids and two different sample
    // models do not share ids.
    [[nodiscard]] std::uint64_t sample_id_key(
        const SampleModelParameters& parameters );

    // The uuid of a component or collection of a sample model: it depends
    // only on the key, the kind ("Surface", "Horizon"...) and the name. A
    // version 8 (custom) uuid with the RFC 4122 variant bits.
    [[nodiscard]] uuid sample_uuid(
        std::uint64_t key, std::string_view kind, std::string_view name );
} // namespace brevane
