#pragma once

#include <optional>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

// The model-wide top-to-bottom order of the surface groups, found by
// sampling vertical columns under the triangles of the plan view.
namespace brevane::internal
{
    // What the column sampling reads: the model, the caller's two lists, the
    // plan view of the top surfaces with its "z_coordinate" heights, and the
    // search trees of the model's surface meshes.
    struct ColumnSamplingContext
    {
        const StructuralModel& model;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
        const TriangulatedSurface< 2 >& plan_view;
        const VariableAttribute< double >& z_coordinate;
        const ModelMeshesAABBTree< 3 >& trees;
    };

    // The highest point where one column meets one surface.
    struct ColumnHit
    {
        uuid surface;
        Point3D point;
    };

    // The surfaces met by the vertical column under the barycentre of a
    // plan-view triangle, from its top (the triangle's height there) down
    // to bottom_z, highest first: one hit per surface that is not a model
    // boundary, at its highest meeting; equal heights in uuid order.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< ColumnHit > column_hits(
        const ColumnSamplingContext& context, index_t triangle, double bottom_z );

    // The order found and what it took.
    struct SurfaceGroupsOrderSearchResult
    {
        std::vector< SurfaceGroup > order;
        index_t nb_sampled_columns{ 0 };
        index_t nb_recorded_columns{ 0 };
    };

    // Samples the columns of the plan-view triangles until the order of the
    // groups is complete, each triangle at most once
    // (SurfaceGroupsOrderSearch). The order found does not depend on the
    // sampling order; by default the columns go coarse to fine over the
    // triangle indices (bit-reversed), so that they spread over the plan
    // view and the search stops early; tests may give their own order. When
    // every column has been sampled, groups no column relates are ordered by
    // the search's fixed rule, or a TessarkException names what is missing.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT SurfaceGroupsOrderSearchResult
        search_surface_groups_order( const ColumnSamplingContext& context,
            absl::Span< const SurfaceGroup > groups,
            double bottom_z,
            std::optional< absl::Span< const index_t > > triangle_order =
                std::nullopt );

    // The order alone, columns sampled coarse to fine.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< SurfaceGroup >
        find_surface_groups_order( const ColumnSamplingContext& context,
            absl::Span< const SurfaceGroup > groups,
            double bottom_z );
} // namespace brevane::internal
