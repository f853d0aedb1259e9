#pragma once

#include <string>

#include <samples/sample_model_parameters.h>

namespace brevane::cli
{
    // The model every command works on when none is given: the factory's
    // box with three horizons, two faults and about 2000 top triangles.
    [[nodiscard]] SampleModelParameters default_sample_parameters();

    // "3 horizons, 2 faults, about 2000 top triangles, seed 1".
    [[nodiscard]] std::string describe_sample(
        const SampleModelParameters& parameters );
} // namespace brevane::cli
