#pragma once

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

    // Projects every triangle of the top surfaces (in list order) into the
    // empty plan view: top-surface vertices sharing a unique vertex share
    // one plan vertex, whose position, height ("z_coordinate") and macro
    // vertex record come from the first surface reaching it; triangles are
    // made counter-clockwise and carry a macro element record; adjacencies
    // are computed. Throws a TessarkException naming the id when it is not a
    // surface of the model or its mesh is not a triangulated surface.
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
