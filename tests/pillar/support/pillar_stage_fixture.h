#pragma once

#include <memory>
#include <vector>

#include <tessark/model/model_meshes_aabb_tree.h>

#include <pillar/metric.h>
#include <pillar/top_surface_plan_view.h>

#include <samples/sample_model.h>

#include "pillars/pillar_context.h"
#include "pillars/surface_groups_order.h"

namespace brevane::test
{
    // A sample model brought to the pillar stages as a build does: plan view
    // of its tops with corners and lines inserted, search trees, surface
    // groups and their order.
    struct PillarStageFixture
    {
        explicit PillarStageFixture( SampleModel sample_in );

        [[nodiscard]] internal::ColumnSamplingContext sampling() const;
        [[nodiscard]] internal::PillarModelContext pillars() const;
        [[nodiscard]] Pillar pillar( index_t vertex ) const;
        // The surface of the model with that name.
        [[nodiscard]] uuid surface_named( std::string_view name ) const;
        // The names of the surfaces of each group.
        [[nodiscard]] std::vector< std::vector< std::string > > names_of(
            const std::vector< SurfaceGroup >& groups ) const;

        SampleModel sample;
        internal::PlanView plan;
        // The size field of the top surfaces' own edges, taken before the
        // insertion of corners and lines, as a build does.
        std::unique_ptr< internal::Metric > metric;
        ModelMeshesAABBTree< 3 > trees;
        double top_z;
        double bottom_z;
        std::vector< SurfaceGroup > groups;
        std::vector< SurfaceGroup > order;
    };
} // namespace brevane::test
