#pragma once

#include <samples/sample_model_parameters.h>

namespace brevane
{
    // Throws a TessarkException naming the first value that cannot describe
    // a model: non-finite numbers, an empty box, a topography reaching the
    // bottom, misplaced or badly sized lists, resolutions out of range. The
    // checks that need the section (horizons in every fault block, faults
    // apart from each other) are made while building it.
    void check_sample_parameters( const SampleModelParameters& parameters );

    // The number of horizons the parameters describe.
    [[nodiscard]] index_t nb_sample_horizons(
        const SampleModelParameters& parameters );
} // namespace brevane
