#pragma once

#include <optional>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/plane_surface_path_finder.h"
#include "pillars/side_wall_components.h"

// The walk of a border pillar down its side walls: the cut of each wall by
// the vertical plane, from wall to wall across the edges and vertices they
// share, until it reaches a top or bottom surface.
namespace brevane::internal
{
    // Walks the cut of the plane from the vertex of the wall's mesh in the
    // direction (down or up the wall), wall after wall, and records every
    // surface (but side walls) and line it passes: where the cut leaves a
    // wall, and where it stops on a top or bottom surface. The way is read
    // from the heights, never from how the walls are wound. A cut that finds
    // no crossing that way from the vertex records nothing. Throws a TessarkException:
    // - "horizon id not found for surface" when no layer surface reaches
    //   the vertex;
    // - "[PillarStructuralModelBuilder]: COULD NOT COMPUTE INTERSECTION
    //   BETWEEN PLANE AND EDGE SEGMENT" when the plane misses an edge the
    //   cut crossed, or lies along it;
    // - naming the wall when the cut finds no next wall, or comes back to a
    //   crossing it has passed (a cut closing on itself);
    // and the errors of next_wall_from_edge.
    VARNHOLT_PILLAR_EXPORT void walk_side_wall( const SideWallContext& context,
        const Plane& plane, CutDirection direction, const uuid& wall,
        index_t vertex,
        KnownPoints& known_points, LineSet& lines );

    // Goes on across the edge of the wall, where the cut leaves it: into the
    // first other model boundary sharing the edge, which becomes `wall`.
    // Returns the last step of the cut on it; none, with `wall` unchanged,
    // when no other model boundary shares the edge. Throws a
    // TessarkException naming both walls when the cut finds no way into the
    // next one.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< PathStep >
    next_wall_from_edge( const SideWallContext& context,
        const PolygonEdge& edge, uuid& wall, const Plane& plane,
        CutDirection direction );

    // Goes on from the unique vertex, where the cut leaves `wall`: into the
    // first other side wall through the vertex (in component order) whose
    // cut leads on from it in the direction, which becomes `wall`. Returns the last step
    // of the cut on it; none, with `wall` unchanged, when no candidate leads
    // on.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< PathStep >
    next_wall_from_vertex( const SideWallContext& context,
        index_t unique_vertex, uuid& wall, const Plane& plane,
        CutDirection direction );
} // namespace brevane::internal
