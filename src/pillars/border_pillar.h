#pragma once

#include <tessark/geometry/basic_objects.h>
#include <tessark/mesh/triangulated_surface.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar_context.h"
#include "pillars/side_wall_components.h"

// Pillars of the vertices on the border of the plan view: each stands on the
// side walls of the model, and takes its known points from the cuts of those
// walls by a vertical plane through it.
namespace brevane::internal
{
    // Walks every side wall at the pillar's top vertex down the vertical
    // cutting plane, records the surfaces and lines the
    // cuts pass, fills the pillar's lines, then completes its intersections.
    VARNHOLT_PILLAR_EXPORT void define_border_pillar(
        const PillarContext& context );

    // What the walks of a border pillar record: the points of the surfaces
    // they pass and the lines along them.
    struct SideWallRecords
    {
        KnownPoints known_points;
        LineSet lines;
    };

    // The records of the pillar's top vertex and of the walks down every
    // side wall through it; the pillar is left as it is. Throws a
    // TessarkException naming the plan-view vertex when it stands for no
    // model vertex, and the errors of walk_side_wall.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT SideWallRecords walk_side_walls(
        const PillarContext& context );

    // The vertical plane through the pillar's top, across the border of the
    // plan view at the pillar's vertex: its normal is the sum of the unit
    // directions of the border edges ending and starting at the vertex.
    // Throws a TessarkException naming the vertex when no border edge
    // starts at it.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT Plane border_cutting_plane(
        const TriangulatedSurface2D& plan_view, const Pillar& pillar );
} // namespace brevane::internal
