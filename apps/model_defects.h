#pragma once

#include <string>

#include <samples/sample_model.h>

// One defect of each kind the inspection reports, made on a valid sample
// model so that the main job can show what the inspection says of it.
namespace brevane::demo
{
    // Pushes an inner vertex of the first top surface beyond one of its
    // neighbours: the triangles between them fold over seen from above.
    void fold_top_triangle( SampleModel& sample );

    // Adds a line along an inner edge of a horizon, bounding that horizon
    // only: a line stopping inside the model.
    void add_dangling_line( SampleModel& sample );

    // Moves one bottom vertex of the x-min side wall (and the bottom vertex
    // sharing it) 0.5 inwards: off the topography border in plan view.
    void move_side_vertex_off_border( SampleModel& sample );

    // Adds a surface that belongs to no collection.
    void add_untagged_surface( SampleModel& sample );
} // namespace brevane::demo
