#pragma once

#include <optional>
#include <string_view>

#include <absl/types/span.h>

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

    // Walking the polygons around the vertex of the wall's mesh, each with
    // its edges in order: the first edge on the border of the mesh that a
    // surface of `layers` shares with the wall (the wall being among the
    // surfaces sharing it); none when there is no such edge.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< PolygonEdge >
    find_layer_border_edge( const SideWallContext& context, const uuid& wall,
        index_t vertex, absl::Span< const uuid > layers );

    // Among the surfaces sharing the edge of the wall, in the order of
    // component_mesh_edges, the first one other than the wall in a
    // "ModelBoundary" collection, with its own copy of the edge.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< ModelSurfaceEdge >
    other_model_boundary_edge( const SideWallContext& context, const uuid& wall,
        const PolygonEdge& edge );

    // True when the two copies of a shared edge list its unique vertices in
    // opposite orders, as consistently oriented neighbours do. It is the
    // orientation flag of the path finder on the second surface.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_shared_edge_reversed(
        const SideWallContext& context, const ModelSurfaceEdge& first,
        const ModelSurfaceEdge& second );

    // The orientation flag of a walk starting at the vertex of the wall:
    // found at the wall's border edge on one of `layers` (which must not be
    // empty), against the next model boundary across that edge. Throws a
    // TessarkException "polygon edge not found" when the wall has no such
    // border edge at the vertex, and one with `no_neighbour_message` when
    // no other model boundary shares it.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool layer_border_orientation(
        const SideWallContext& context, const uuid& wall, index_t vertex,
        absl::Span< const uuid > layers,
        std::string_view no_neighbour_message );

    // True when the cut reaches a top or bottom surface at the step on the
    // wall: a surface sharing the step's edge is a top or bottom surface,
    // or, for a step at a vertex, a model line through the vertex bounds
    // one.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool reaches_top_or_bottom(
        const SideWallContext& context, const uuid& wall,
        const PathStep& step );
} // namespace brevane::internal
