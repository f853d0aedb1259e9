#pragma once

#include <array>
#include <memory>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/triangulated_surface.h>

#include <pillar/pillar_structural_model_inspection_result.h>
#include <pillar/top_surface_plan_view.h>
#include <pillar/varnholt_pillar_export.h>

// The four checks of a model, one by one, as the builder's inspection runs
// them at once; exposed for diagnostics, tests and benchmarks. Each only
// reads its inputs, so that they may run on several threads together, and
// returns its record filled in the model's order.
namespace brevane::internal
{
    // The triangles of one surface in plan view, in triangle order, each as
    // its three projected vertices in vertex order.
    using PlanTriangles = std::vector< std::array< Point2D, 3 > >;

    // The plan-view triangles of every surface of the model whose id is in
    // the top list; ids naming no surface are ignored. Throws a
    // TessarkException naming the surface when its mesh is not a
    // triangulated surface.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT
        absl::flat_hash_map< uuid, PlanTriangles >
        top_surface_triangles( const TopSurfaceContext& context );

    // Top surfaces whose triangles do not all turn the same way seen from
    // above (a vertical triangle, of zero area in plan view, counts as
    // turning another way): at most one issue per surface, in the model's
    // surface order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT MultiZInspectionResult inspect_multi_z(
        const TopSurfaceContext& context );

    // Lines bounding exactly one surface and embedded in none, in the
    // model's line order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT LinesInspectionResult inspect_lines(
        const StructuralModel& model );

    // Surfaces in no "ModelBoundary", "Horizon" nor "Fault" collection, in
    // the model's surface order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT SurfacesCollectionInspectionResult
    inspect_surfaces_collection( const StructuralModel& model );

    // The border edges of the plan view as a curve: one edge per border
    // edge, in polygon and edge order, keeping the polygon's direction;
    // curve vertices numbered in order of first encounter.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::unique_ptr< EdgedCurve< 2 > >
    build_topography_border( const TriangulatedSurface< 2 >& top_surface );

    // Border vertices of the side boundary surfaces (in a "ModelBoundary"
    // collection, in neither id list) farther than 1e-6 in plan view from
    // the border of the plan view: one issue per unique vertex, at its first
    // encounter (surfaces in model order, then polygons and their edges in
    // order). Every edge of every polygon is walked, whatever the polygon
    // size. Throws a TessarkException naming the surface and the vertex when
    // such a vertex is bound to no unique vertex or has a non-finite
    // position.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT
        PointsTooFarFromTopographyBoundaryInspectionResult
        inspect_points_too_far( const TopSurfaceContext& context,
            const TriangulatedSurface< 2 >& top_surface );
} // namespace brevane::internal
