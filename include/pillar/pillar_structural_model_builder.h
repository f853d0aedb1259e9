#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/common.h>
#include <tessark/basic/uuid.h>

#include <pillar/pillar_structural_model_builder_result.h>
#include <pillar/pillar_structural_model_inspection_result.h>
#include <pillar/pillar_structural_model_options.h>

namespace brevane
{
    class StructuralModel;
    namespace internal
    {
        class BackgroundSurface;
    } // namespace internal

    // The two moments at which a build shows its plan view.
    enum struct PlanViewStage
    {
        // Corners and lines inserted, pillars defined on the border and on
        // the line traces.
        before_decimation,
        // Decimated; the pillars are those kept from before.
        after_decimation
    };

    // Sees the plan view during a build, with the vertices holding a pillar
    // (sorted); both are valid during the call only. What it throws ends the
    // build before the model is written.
    using PlanViewObserver = std::function< void( PlanViewStage,
        const internal::BackgroundSurface&, absl::Span< const index_t > ) >;

    // Inspects a structural model and rebuilds it in place as a pillar
    // model. The model and the two id lists must outlive the builder and
    // stay unchanged: the builder keeps views on them. A builder is used from
    // one thread at a time.
    class VARNHOLT_PILLAR_EXPORT PillarStructuralModelBuilder
    {
    public:
        // Projects the top surfaces into the plan view. It does not throw: a
        // top surface id that names no surface of the model, or whose mesh
        // is not a triangulated surface, is recorded and reported by
        // is_model_construction_possible and build as a TessarkException
        // naming the surface.
        PillarStructuralModelBuilder( StructuralModel& model,
            absl::Span< const uuid > top_surfaces,
            absl::Span< const uuid > bottom_surfaces ) noexcept;
        PillarStructuralModelBuilder(
            PillarStructuralModelBuilder&& other ) noexcept;
        ~PillarStructuralModelBuilder();

        PillarStructuralModelBuilder(
            const PillarStructuralModelBuilder& ) = delete;
        PillarStructuralModelBuilder& operator=(
            const PillarStructuralModelBuilder& ) = delete;
        PillarStructuralModelBuilder& operator=(
            PillarStructuralModelBuilder&& ) = delete;

        // Runs the four inspections (every call) and returns the cached
        // result, which lives as long as the builder.
        const PillarStructuralModelInspectionResult&
            is_model_construction_possible();

        // Rebuilds the model. When no inspection ran before, runs one and
        // throws PillarStructuralModelException if it finds any issue,
        // leaving the model untouched; after an explicit inspection it
        // builds whatever that inspection found.
        //
        // The build inserts the corners and lines
        // into the plan view, finds the top-to-bottom order of the surface
        // groups, defines the pillars, decimates the plan view, then
        // rebuilds every top, horizon, fault and bottom surface from the
        // pillars (one surface collection per slice, returned top to
        // bottom), the side walls between the pillars, and the lines and
        // corners from the shared vertices. When a stage fails after the
        // model's meshes were emptied, the model is put back as it was
        // (same uuids, names, meshes, relations, collections and unique
        // vertices; component objects are new) and the exception is
        // rethrown unchanged. Block meshes are left empty.
        PillarStructuralModelBuilderResult build(
            const PillarStructuralModelOptions& options );

        // The observer sees the plan view at each PlanViewStage of build(),
        // so that a caller can report on it without running the stages
        // again.
        void observe_plan_view( PlanViewObserver observer );

        // The top-to-bottom order of the surface groups the pillars cross,
        // found by build(); empty before.
        [[nodiscard]] const std::vector< std::vector< uuid > >&
            surface_groups_order() const;

    private:
        class Impl;
        std::unique_ptr< Impl > impl_;
    };
} // namespace brevane
