#pragma once

#include <string>
#include <vector>

#include <tessark/model/structural_model.h>

namespace brevane
{
    // Every difference between two models, one readable line each (empty when
    // equal): components (kind, uuid, name), meshes (points bit for bit,
    // polygons/edges/polyhedra with their kinds), relations (boundary and
    // internal, in the model's order), collections of every kind with their
    // items, unique vertices and their bindings.
    //
    // Components and collections are matched by uuid; their order within a
    // kind counts. A mesh reports its first differing element and how many
    // differ; unique vertices report the first differing ones one line each,
    // then how many more differ, so that two unrelated large models do not
    // give millions of lines.
    [[nodiscard]] std::vector< std::string > model_differences(
        const StructuralModel& first, const StructuralModel& second );
} // namespace brevane
