#pragma once

#include <vector>

#include <absl/container/btree_set.h>
#include <absl/types/span.h>

#include <tessark/mesh/mesh_element.h>
#include <tessark/model/brep.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar_context.h"

// What the walks along the side walls of one border pillar read, and how
// they record the surfaces and lines that the cuts pass.
namespace brevane::internal
{
    // The model, the caller's two lists and the pillar, borrowed for the
    // walks of one border pillar.
    struct SideWallContext
    {
        const BRep& model;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
        // Recorded points take the x and y of the pillar's top.
        Point3D pillar_top;
    };

    // The lines the walks pass, ordered so that the pillar gets them in the
    // same order in every run.
    using LineSet = absl::btree_set< uuid >;

    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_top_or_bottom_surface(
        const SideWallContext& context, const uuid& surface );

    // A surface of a "ModelBoundary" collection that is neither a top nor a
    // bottom surface.
    // A model boundary: in a "ModelBoundary" collection, or one of the top
    // or bottom surfaces the caller named (which bound the model whatever
    // their collections), so that walls meet the top and the bottom also
    // when these are tagged as horizons.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_model_boundary(
        const SideWallContext& context, const uuid& surface );

    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_side_wall(
        const SideWallContext& context, const uuid& surface );

    // A top or bottom surface, or a surface of a "Horizon" or "Fault"
    // collection: a surface that a side wall's cut records.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_layer_surface(
        const SideWallContext& context, const uuid& surface );

    // For each component vertex of the unique vertex: a surface that is not
    // a side wall gets the pillar's x and y with the height of that vertex
    // (unless it has a point already); a line joins the line set.
    VARNHOLT_PILLAR_EXPORT void record_vertex_components(
        const SideWallContext& context, index_t unique_vertex,
        KnownPoints& known_points, LineSet& lines );

    // For a crossing point on an edge of the surface: every surface sharing
    // the edge that is not a side wall gets the pillar's x and y with the
    // crossing's height (unless it has a point already); every line sharing
    // the edge joins the line set.
    VARNHOLT_PILLAR_EXPORT void record_edge_components(
        const SideWallContext& context, const PolygonEdge& edge,
        const Point3D& point, const uuid& surface, KnownPoints& known_points,
        LineSet& lines );

    // The layer surfaces among the component vertices of the unique vertex,
    // in component order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< uuid > layer_surfaces_at(
        const SideWallContext& context, index_t unique_vertex );
} // namespace brevane::internal
