#pragma once

#include <string>

#include <tessark/model/structural_model.h>

namespace brevane::test
{
    // Everything a copy or a restore of a model must keep, as text: each
    // component in order with its name, mesh points and unique vertices,
    // relations and collection items.
    [[nodiscard]] std::string describe_model( const StructuralModel& model );
} // namespace brevane::test
