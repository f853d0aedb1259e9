#pragma once

#include <absl/container/inlined_vector.h>

#include <tessark/basic/common.h>

namespace brevane
{
    // The value of a new element as the weighted sum of the values of source
    // elements: sum of lambdas[i] * value( indices[i] ). Both lists have the
    // same size; the weights usually sum to 1 (barycentric coordinates).
    struct AttributeLinearInterpolation
    {
        absl::InlinedVector< index_t, 4 > indices;
        absl::InlinedVector< double, 4 > lambdas;
    };
} // namespace brevane
