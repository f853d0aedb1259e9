#pragma once

#include <absl/container/flat_hash_set.h>
#include <absl/types/span.h>

#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

// Which way the rebuilt surfaces face. The plan view's triangles run
// counter-clockwise, so a surface rebuilt from them faces up: the top
// surfaces and the horizons keep that. The bottom surfaces face down, out
// of the model. A fault faces the way its input faced, piece by piece: down
// when the area-weighted normal of the piece's input mesh points down, up
// otherwise. Side walls face out of the model (build_boundary_polygon).
namespace brevane::internal
{
    // The surfaces to rebuild facing down: the bottom surfaces and the fault
    // surfaces whose input mesh faces down. Read before the meshes are
    // replaced.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT absl::flat_hash_set< uuid >
        surfaces_rebuilt_facing_down( const StructuralModel& model,
            absl::Span< const uuid > bottom_surfaces );
} // namespace brevane::internal
