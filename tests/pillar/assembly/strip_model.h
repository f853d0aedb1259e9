#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include <absl/types/span.h>

#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/structural_model.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/background/background_surface.h>

#include "assembly/assembly_context.h"

namespace brevane::test
{
    // A hand-made model over the plan view of nb_x unit squares in a row
    // (grid_surface: vertex (i, j) is j * ( nb_x + 1 ) + i, every vertex on
    // the border): a top, a horizon and a bottom surface, walls added on
    // demand, and one pillar per plan-view vertex whose nodes the tests set.
    // No mesh has polygons: the surfaces get one vertex per pillar node.
    class StripModel
    {
    public:
        // A pillar node: the surface met and its height.
        using Node = std::pair< uuid, double >;

        explicit StripModel( index_t nb_x );

        // A lateral boundary with an empty polygonal mesh (or the given one).
        uuid add_wall();
        uuid add_wall( std::unique_ptr< SurfaceMesh< 3 > > mesh );
        // A line bounding the level surface and the wall (in that incidence
        // order), traced along the given plan-view edges.
        uuid trace_line( const uuid& level, const uuid& wall,
            absl::Span< const PolygonEdge > edges );
        // The border edges of the plan view, along the border from the edge
        // 0 -> 1.
        [[nodiscard]] std::vector< PolygonEdge > border_edges() const;
        // The pillar of the vertex meets these surfaces, top to bottom.
        void set_pillar( index_t vertex, const std::vector< Node >& nodes );
        // Gives each surface one vertex per pillar meeting it (at the first
        // node) and records it, as the surface rebuild does.
        void make_surface_vertices();
        [[nodiscard]] internal::AssemblyContext context();
        // Every plan-view triangle lists these surfaces in "surface_ids".
        void set_surface_ids( const std::vector< uuid >& surfaces );
        [[nodiscard]] const TriangulatedSurface2D& plan_view() const
        {
            return *plan_view_;
        }

        StructuralModel model;
        StructuralModelBuilder builder{ model };
        uuid top;
        uuid horizon;
        uuid bottom;
        std::vector< Pillar > pillars;
        internal::TopVertexSurfaceVertices surface_vertices;

    private:
        std::unique_ptr< TriangulatedSurface2D > plan_view_;
        internal::BackgroundSurface background_;
        std::shared_ptr< VariableAttribute< std::vector< uuid > > >
            surface_ids_;
        std::vector< uuid > tops_;
        std::vector< uuid > bottoms_;
        absl::flat_hash_set< uuid > facing_down_;
        uuid boundary_collection_;
    };
} // namespace brevane::test
