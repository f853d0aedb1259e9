#pragma once

#include <samples/sample_model.h>

namespace brevane
{
    // The parameters of a small model: a 100 x 60 box 40 high, gentle hills,
    // evenly spaced horizons, faults from spread_faults, about 24 top
    // triangles; a few hundred triangles in all.
    [[nodiscard]] SampleModelParameters small_sample_parameters(
        index_t nb_horizons, index_t nb_faults );

    // Two horizons and no fault: three layers in one fault block.
    [[nodiscard]] SampleModel flat_layer_cake();

    // Two horizons cut by one fault: six blocks.
    [[nodiscard]] SampleModel one_fault_model();

    // Two horizons cut by two faults: nine blocks.
    [[nodiscard]] SampleModel two_faults_model();

    // Moves the items of the second horizon into the first horizon's
    // collection, leaving the second empty: two horizons stacked in one
    // collection, an input no build can use. Throws when the sample has
    // fewer than two horizons.
    void stack_second_horizon_into_first( SampleModel& sample );
} // namespace brevane
