#pragma once

#include <vector>

#include <tessark/model/structural_model.h>

#include "model_file_description.h"

namespace brevane::internal
{
    // Every relation of the model (boundary, internal and item), in an order
    // that makes every relation query of the model (boundaries, incidences,
    // internal components, embeddings, items, collections) list its answers
    // in the same order when the relations are added again one after the
    // other. The model answers each query in the order the relations were
    // added; the relations of each answer form a chain, and the list is a
    // topological order of all chains, deterministic for a given model.
    [[nodiscard]] std::vector< RelationEntry > ordered_relations(
        const StructuralModel& model );
} // namespace brevane::internal
