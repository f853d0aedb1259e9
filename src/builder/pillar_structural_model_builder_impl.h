#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/background/background_surface.h>

#include <pillar/pillar_structural_model_builder.h>

#include <pillar/metric.h>

#include "assembly/assembly_context.h"
#include "pillars/pillar.h"

namespace brevane
{
    // The builder's state, shared by the inspections and every stage of the
    // build. Operations are grouped by stage; each is defined in the source
    // file of its stage.
    class PillarStructuralModelBuilder::Impl
    {
    public:
        Impl( StructuralModel& model, absl::Span< const uuid > top_surfaces,
            absl::Span< const uuid > bottom_surfaces );

        const PillarStructuralModelInspectionResult&
        is_model_construction_possible();
        PillarStructuralModelBuilderResult build(
            const PillarStructuralModelOptions& options );
        [[nodiscard]] const std::vector< SurfaceGroup >& groups_order() const
        {
            return surface_groups_order;
        }

        // Shown the plan view before and after its decimation.
        PlanViewObserver plan_view_observer;

    private:
        // Throws the failure recorded during construction, if any.
        void check_construction() const;
        // Throws a TessarkException listing what makes the model unusable
        // by any build (input_problems), before anything is written.
        void check_input() const;

        // Inspections.
        // Resets the cached result, then runs the four checks at once; each
        // check reads the model, the two id lists and the plan view only,
        // and writes only its own record. The checks of the input are run
        // too, unless the caller has just run them and found nothing.
        void inspect( bool input_just_checked = false );
        [[nodiscard]] MultiZInspectionResult inspect_multi_z() const;
        [[nodiscard]] LinesInspectionResult inspect_lines() const;
        [[nodiscard]] SurfacesCollectionInspectionResult
        inspect_surfaces_collection() const;
        [[nodiscard]] PointsTooFarFromTopographyBoundaryInspectionResult
        inspect_points_too_far() const;

        // Plan view of the top surfaces.
        void project_top_surfaces();
        [[nodiscard]] internal::Metric create_top_surface_metric(
            const SurfaceMesh< 2 >& surface ) const;
        // Inserts corners and non-lateral lines into the plan view, then
        // cleans it.
        void insert_model_components();

        // The build driver: the stages in order, each announced by one
        // trace line. Stages 1 to 4 (search trees, surface groups order,
        // pillars, decimation of the plan view) only read the model; from
        // the reset of its meshes on, a snapshot taken before puts the model
        // back when a stage fails, and the failure is rethrown as it was.
        // Stages 1 to 4 (search trees, surface groups order, pillars,
        // decimation) and the checks of the pillars: one pillar per vertex
        // of the decimated plan view.
        std::vector< Pillar > define_pillars( const internal::Metric& metric );
        PillarStructuralModelBuilderResult run_driver(
            const internal::Metric& metric,
            const PillarStructuralModelOptions& options );
        // Stages 5 to 8 on the pillar list: surfaces, unique vertices, side
        // walls, model update; then, when the options ask for it, the cells
        // of the blocks; the surfaces of `facing_down` are rebuilt facing
        // down. Returns the slice collection order.
        std::vector< uuid > rebuild_model( absl::Span< const Pillar > pillars,
            const absl::flat_hash_set< uuid >& facing_down,
            const PillarStructuralModelOptions& options );

        StructuralModel& model;
        StructuralModelBuilder model_builder;
        std::optional< PillarStructuralModelInspectionResult > inspection;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
        absl::flat_hash_map< index_t, index_t > unique_vertex_below;
        absl::flat_hash_map< index_t, index_t > unique_vertex_above;
        internal::TopVertexSurfaceVertices top_vertex_surface_vertices;
        std::unique_ptr< TriangulatedSurface< 2 > > top_surface;
        internal::BackgroundSurface background_surface;
        std::shared_ptr< VariableAttribute< double > > z_coordinate_attribute;
        std::shared_ptr< VariableAttribute< std::vector< uuid > > >
            surface_ids_attribute;
        std::vector< SurfaceGroup > surface_groups_order;
        // What went wrong while constructing, reported by the public calls.
        std::optional< std::string > construction_failure;
        // Set when a build starts: the plan view goes into it (decimated,
        // its records consumed), so a builder builds once.
        bool used{ false };
    };
} // namespace brevane
