#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/background/background_surface.h>

#include <pillar/pillar_structural_model_builder.h>

#include "pillars/pillar.h"
#include <pillar/metric.h>

namespace brevane
{
    namespace internal
    {
        class BackgroundSurfaceInserter;
    } // namespace internal

    // The builder's state, shared by the inspections and every stage of the
    // build. Operations are grouped by stage; each is defined in the source
    // file of its stage.
    class PillarStructuralModelBuilder::Impl
    {
    public:
        Impl( StructuralModel& model,
            absl::Span< const uuid > top_surfaces,
            absl::Span< const uuid > bottom_surfaces );

        const PillarStructuralModelInspectionResult&
            is_model_construction_possible();
        PillarStructuralModelBuilderResult build(
            const PillarStructuralModelOptions& options );

    private:
        // Throws the failure recorded during construction, if any.
        void check_construction() const;

        // Inspections.
        // Resets the cached result, then runs the four checks at once; each
        // check reads the model, the two id lists and the plan view only,
        // and writes only its own record.
        void inspect();
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
        void insert_model_corners( internal::BackgroundSurfaceInserter& inserter );
        void insert_model_lines( internal::BackgroundSurfaceInserter& inserter );
        [[nodiscard]] bool is_model_boundary_surface(
            const Surface< 3 >& surface ) const;
        [[nodiscard]] bool is_top_or_bottom_surface(
            const Surface< 3 >& surface ) const;
        [[nodiscard]] bool is_lateral_boundary_line( const Line< 3 >& line ) const;

        // The build driver and its stages.
        PillarStructuralModelBuilderResult run_driver(
            const internal::Metric& metric );
        // A vertex gets a pillar before decimation when a line touching a
        // top surface passes through it, or when it is on the border.
        [[nodiscard]] bool needs_pillar_before_decimation( index_t vertex ) const;
        [[nodiscard]] std::vector< SurfaceGroup > compute_surface_groups() const;
        [[nodiscard]] std::vector< SurfaceGroup > find_surface_groups_order(
            const ModelMeshesAABBTree< 3 >& trees,
            absl::Span< const SurfaceGroup > groups,
            double bottom_z ) const;
        [[nodiscard]] Pillar define_pillar( index_t vertex,
            const ModelMeshesAABBTree< 3 >& trees,
            double top_z,
            double bottom_z ) const;
        void add_border_macro_edges( const PillarMap& pillars );
        [[nodiscard]] PillarMap decimate_top_surface(
            const PillarMap& pillars, const internal::Metric& metric );
        [[nodiscard]] std::vector< Pillar > collect_pillars(
            const PillarMap& pillars,
            double top_z,
            double bottom_z,
            const ModelMeshesAABBTree< 3 >& trees ) const;
        void check_pillar_slices( absl::Span< const Pillar > pillars ) const;
        void assign_surface_ids();
        void reset_model_meshes();
        [[nodiscard]] std::vector< uuid > build_horizon_surfaces(
            absl::Span< const Pillar > pillars );
        void create_unique_vertices( absl::Span< const Pillar > pillars );
        void build_model_boundaries( absl::Span< const Pillar > pillars );
        void remove_lines_and_corners();
        void link_pillar_vertices( absl::Span< const Pillar > pillars );

        StructuralModel& model;
        StructuralModelBuilder model_builder;
        std::optional< PillarStructuralModelInspectionResult > inspection;
        absl::Span< const uuid > top_surfaces;
        absl::Span< const uuid > bottom_surfaces;
        absl::flat_hash_map< index_t, index_t > unique_vertex_below;
        absl::flat_hash_map< index_t, index_t > unique_vertex_above;
        absl::flat_hash_map< index_t,
            absl::InlinedVector< std::pair< uuid, index_t >, 4 > >
            top_vertex_surface_vertices;
        std::unique_ptr< TriangulatedSurface< 2 > > top_surface;
        internal::BackgroundSurface background_surface;
        std::shared_ptr< VariableAttribute< double > > z_coordinate_attribute;
        std::shared_ptr< VariableAttribute< std::vector< uuid > > >
            surface_ids_attribute;
        std::vector< SurfaceGroup > surface_groups_order;
        // What went wrong while constructing, reported by the public calls.
        std::optional< std::string > construction_failure;
    };
} // namespace brevane
