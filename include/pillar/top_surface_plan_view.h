#pragma once

#include <memory>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/structural_model.h>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_inserter.h>

#include <pillar/varnholt_pillar_export.h>

// The plan view of a model's top surfaces, step by step: what the builder
// does when it is constructed (projection) and when a build starts
// (insertion of corners and lines), exposed for diagnostics and tests.
namespace brevane::internal
{
    // The model and the caller's two lists of surface ids.
    struct TopSurfaceContext
    {
        const StructuralModel& model;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
    };

    // The plan view's height of each vertex, the vertex attribute
    // "z_coordinate" (NaN until set; interpolated at new vertices, carried
    // by copies), found or created.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT
        std::shared_ptr< VariableAttribute< double > >
        find_or_create_z_coordinate( TriangulatedSurface< 2 >& plan_view );

    // The surfaces above and below each plan-view triangle, the polygon
    // attribute "surface_ids" (empty until set; copied to the halves of a
    // split triangle, carried by copies), found or created.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT
        std::shared_ptr< VariableAttribute< std::vector< uuid > > >
        find_or_create_surface_ids( TriangulatedSurface< 2 >& plan_view );

    // A plan view of its own, outside a builder. The surface is on the heap:
    // the background surface refers to it, and a move of the plan view
    // keeps that reference valid.
    struct PlanView
    {
        std::unique_ptr< TriangulatedSurface< 2 > > surface;
        BackgroundSurface background;
        std::shared_ptr< VariableAttribute< double > > z_coordinate;
    };

    // An empty plan view with its background surface and "z_coordinate",
    // ready for project_top_surfaces.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT PlanView create_plan_view();

    // Projects every triangle of the top surfaces (in list order) into the
    // empty plan view: top-surface vertices sharing a unique vertex share
    // one plan vertex, whose position, height ("z_coordinate") and macro
    // vertex record come from the first surface reaching it; a vertex bound
    // to no unique vertex is one plan vertex, shared by the triangles of its
    // own surface only; triangles are made counter-clockwise and carry a macro
    // element record; adjacencies are computed. Throws a TessarkException
    // naming the id when it is not a surface of the model or its mesh is not a
    // triangulated surface.
    VARNHOLT_PILLAR_EXPORT void project_top_surfaces(
        const TopSurfaceContext& context,
        TriangulatedSurface< 2 >& top_surface,
        BackgroundSurface& background_surface,
        VariableAttribute< double >& z_coordinate );

    // Inserts every corner of the model and every line not on a lateral
    // boundary into the plan view, then cleans it.
    VARNHOLT_PILLAR_EXPORT void insert_model_components(
        const TopSurfaceContext& context,
        TriangulatedSurface< 2 >& top_surface,
        BackgroundSurface& background_surface );

    // Each corner as a point set named by the corner's id.
    VARNHOLT_PILLAR_EXPORT void insert_model_corners(
        const TopSurfaceContext& context, BackgroundSurfaceInserter& inserter );

    // Each line that is not a lateral boundary line, as disjoint projected
    // segments named by the line's id, in model order.
    VARNHOLT_PILLAR_EXPORT void insert_model_lines(
        const TopSurfaceContext& context, BackgroundSurfaceInserter& inserter );

    // True when one of the surface's collections is a "ModelBoundary".
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_model_boundary_surface(
        const TopSurfaceContext& context, const Surface< 3 >& surface );

    // True when the surface's id is in the top or the bottom list.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_top_or_bottom_surface(
        const TopSurfaceContext& context, const Surface< 3 >& surface );

    // True when a surface incident to the line is a model boundary that is
    // neither a top nor a bottom surface (a side wall).
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_lateral_boundary_line(
        const TopSurfaceContext& context, const Line< 3 >& line );
} // namespace brevane::internal
