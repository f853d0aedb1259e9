#pragma once

#include <optional>

#include <absl/container/flat_hash_map.h>
#include <absl/types/span.h>

#include <tessark/geometry/basic_objects.h>
#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/model/structural_model.h>

#include <halven/background/background_surface.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/line_edge_trees.h"
#include "pillars/pillar.h"

// What the pillar stages read, and the pillar of one plan-view vertex:
// corners and lines first, then the side walls for border vertices, then ray
// tracing for every surface still without a point, in the model-wide order
// of the surface groups.
namespace brevane::internal
{
    // Everything a pillar reads, borrowed for one stage of the build. The
    // plan view is the background surface's triangulation.
    struct PillarModelContext
    {
        const StructuralModel& model;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
        const ModelMeshesAABBTree< 3 >& trees;
        const BackgroundSurface& background_surface;
        absl::Span< const SurfaceGroup > surface_groups_order;
        // The edges of the model's lines, for pillars on traces that forgot
        // their line's edge; without them such pillars trace the surfaces.
        const LineEdgeTrees* line_trees{ nullptr };
    };

    // Points of one pillar known from the model's topology, by surface: the
    // first point stored for a surface stays, later ones are ignored.
    using KnownPoints = absl::flat_hash_map< uuid, Point3D >;

    // The pillar being filled and its vertical segment, from its top down
    // to the bottom height.
    struct PillarContext
    {
        const PillarModelContext& model;
        Pillar& pillar;
        Segment3D segment;
    };

    // The pillar of a plan-view vertex between the heights top_z and
    // bottom_z: border vertices walk the side walls, other vertices take
    // points from the corners and lines through them; every other surface is
    // traced along the pillar. Throws the hash map's out-of-range error when
    // a surface to trace has no search tree.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT Pillar define_pillar(
        const PillarModelContext& context,
        index_t vertex,
        double top_z,
        double bottom_z );

    // Calls action( surface ) for the top surfaces, then each group of the
    // order, then the bottom surfaces, each in list order: the order of a
    // pillar's intersections.
    template < typename Action >
    void for_each_listed_surface(
        const PillarModelContext& context, const Action& action )
    {
        for( const auto& surface : context.top_surfaces )
        {
            action( surface );
        }
        for( const auto& group : context.surface_groups_order )
        {
            for( const auto& surface : group )
            {
                action( surface );
            }
        }
        for( const auto& surface : context.bottom_surfaces )
        {
            action( surface );
        }
    }

    // Appends the pillar's intersections from the known points, tracing the
    // surfaces without one: top surfaces, then each group of the order, then
    // bottom surfaces, each in list order (a surface listed twice gets two
    // entries, a surface not met none).
    VARNHOLT_PILLAR_EXPORT void complete_pillar_intersections(
        const PillarContext& context, const KnownPoints& known_points );

    // The highest point where the pillar meets the surface (the first hit
    // among equal heights), at the pillar's x and y; none when it does not
    // meet it.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< Point3D >
        trace_surface_along_pillar(
            const PillarContext& context, const uuid& surface );

    // True when a line through the vertex (a macro edge incident to it)
    // touches a top surface, or the vertex is on the border of the plan
    // view: the vertices that get a pillar before decimation.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool needs_pillar_before_decimation(
        const PillarModelContext& context, index_t vertex );
} // namespace brevane::internal

namespace brevane::internal
{
    // The pillars of every vertex that needs one before decimation, by
    // vertex. Pillars are independent and computed on the thread pool; the
    // map is the same as a computation in vertex order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT PillarMap
        define_pillars_before_decimation( const PillarModelContext& context,
            double top_z,
            double bottom_z );
} // namespace brevane::internal
