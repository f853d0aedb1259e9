#pragma once

#include <optional>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/plane_surface_path_finder.h"
#include "pillars/side_wall_components.h"

// Edges of the side walls that the walks start from, stop at and go across.
namespace brevane::internal
{
    // A polygon edge of the mesh of a model surface.
    struct ModelSurfaceEdge
    {
        uuid surface;
        PolygonEdge edge;
    };

    // The unique vertex of a vertex of the surface's mesh. Throws a
    // TessarkException naming the surface and the vertex when it is bound
    // to none.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT index_t surface_unique_vertex(
        const SideWallContext& context, const uuid& surface, index_t vertex );

    // Among the surfaces sharing the edge of the wall, in the order of
    // component_mesh_edges, the first one other than the wall in a
    // "ModelBoundary" collection, with its own copy of the edge.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< ModelSurfaceEdge >
    other_model_boundary_edge( const SideWallContext& context, const uuid& wall,
        const PolygonEdge& edge );

    // True when the cut reaches a top or bottom surface at the step on the
    // wall: a surface sharing the step's edge is a top or bottom surface,
    // or, for a step at a vertex, a model line through the vertex bounds
    // one.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool reaches_top_or_bottom(
        const SideWallContext& context, const uuid& wall,
        const PathStep& step );
} // namespace brevane::internal
