#pragma once

#include <string>
#include <vector>

#include <absl/types/span.h>

#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // What makes a model unusable by any build, found before anything is
    // written, one line each naming the components (name and uuid), the
    // vertex and its position where there is one, and what to check:
    // - an empty top or bottom list, an id that is no surface of the model,
    //   a surface in both lists;
    // - a top or bottom surface that bounds two blocks (it is not on the
    //   model's boundary);
    // - a point of a corner, line or surface with a coordinate that is not
    //   a finite number;
    // - a unique vertex whose component vertices stand at different
    //   positions;
    // - a fault surface standing vertical (every triangle of it), which
    //   the build does not handle;
    // - two points of one surface group (a horizon's surfaces bounding one
    //   block, or a fault) on one vertical line, as two horizons stacked in
    //   one collection give;
    // - top surfaces that lie below the bottom surfaces (the two lists
    //   swapped).
    // Empty when none of these holds. At most a few lines per kind.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< std::string >
    input_problems( const StructuralModel& model,
        absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces );
} // namespace brevane::internal
