#pragma once

#include <tessark/model/structural_model.h>

namespace brevane::cli
{
    // A copy of the model in which every component and collection has a
    // uuid derived from its kind, its name and its rank among those of the
    // same kind and name (sample_uuid with a fixed key): the same meshes,
    // names, relations, collections and unique vertices, in the same order.
    // A model made again the same way from the same files then gets the same
    // ids, so that the two compare equal. Relations other than those a
    // model builder can make (boundaries: corner-line, line-surface,
    // surface-block; internal: corner or line in a surface or a block,
    // surface in a block) throw a TessarkException naming them.
    [[nodiscard]] StructuralModel with_derived_ids(
        const StructuralModel& model );
} // namespace brevane::cli
