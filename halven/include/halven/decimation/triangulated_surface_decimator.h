#pragma once

#include <array>
#include <optional>

#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/triangulated_surface.h>

#include <halven/background/background_surface_modifier.h>
#include <halven/decimation/orchestrator.h>
#include <halven/decimation/triangulated_surface_decimator_operator.h>

namespace brevane
{
    // Decimation of a triangulated surface by edge collapses over the edges
    // given to apply() (see Orchestrator), the edges around each kept vertex
    // being tried again in the next pass.
    //
    // An edge the operator skips is left alone. Otherwise each direction of
    // the edge (one end merging into the other, which stays in place) is a
    // candidate when allowed_collapse_edge accepts it; when both are, the one
    // whose longest new edge is shorter comes first, so that the kept vertex
    // is the one around which the mesh stays the most even (on a tie, the
    // smaller vertex merges into the larger). Candidates are handed to
    // collapse_edge in that order until one is done.
    //
    // Collapses go through the background-surface modifier, which refuses
    // invalid ones (flipped or degenerate triangles, non-manifold results,
    // removed border or recorded vertices, broken chains) and keeps the
    // records right. The surface keeps its numbering: removed vertices and
    // triangles are only marked until the modifier's clean().
    template < index_t D >
    class TriangulatedSurfaceDecimator : public Orchestrator< SurfaceEdge< D > >
    {
        static_assert(
            D == 2, "Triangulated surfaces are decimated in the plane" );

    public:
        using ProcessElementResult =
            typename Orchestrator< SurfaceEdge< D > >::ProcessElementResult;

        // An edge to collapse: vertices[0] merges into vertices[1].
        struct OrientedEdge
        {
            // The polygon edge from vertices[0] to vertices[1]; for an edge
            // on the border, which runs one way only, it may run the other
            // way.
            PolygonEdge polygon_edge;
            std::array< index_t, 2 > vertices{ NO_ID, NO_ID };
        };

        // The modifier and the operator must outlive the decimator.
        TriangulatedSurfaceDecimator(
            internal::BackgroundSurfaceModifier& modifier,
            const TriangulatedSurfaceDecimatorOperator< D >&
                decimation_operator );
        ~TriangulatedSurfaceDecimator() override;

        // The rules of the surface's owner on which vertices may disappear,
        // checked before collapse_edge is tried in that direction.
        [[nodiscard]] virtual bool allowed_collapse_edge(
            const OrientedEdge& edge ) const = 0;

    protected:
        // The operator's skip_edge.
        [[nodiscard]] bool skip_element(
            const SurfaceEdge< D >& edge ) const override;
        // Tries the directions of the edge as described above.
        [[nodiscard]] std::optional< ProcessElementResult > process_element(
            const SurfaceEdge< D >& edge ) override;
        // A decimation still going after nb_levels passes stops there: the
        // surface is valid after every collapse.
        [[nodiscard]] bool skip_on_infinite_loop() const override;
        [[nodiscard]] index_t nb_levels() const override;
        // The modifier's deletion marks.
        [[nodiscard]] bool is_polygon_live( index_t polygon ) const override;

        // Merges vertices[0] into vertices[1] when the modifier finds the
        // collapse valid, reporting vertices[1] as modified; empty when
        // nothing was done.
        [[nodiscard]] virtual std::optional< ProcessElementResult >
        collapse_edge( const OrientedEdge& edge );

        [[nodiscard]] const TriangulatedSurface< D >& surface() const;
        [[nodiscard]] internal::BackgroundSurfaceModifier& modifier() const;

    private:
        [[nodiscard]] OrientedEdge oriented(
            const SurfaceEdge< D >& edge, local_index_t removed ) const;
        [[nodiscard]] double longest_new_edge2(
            const OrientedEdge& edge ) const;

        internal::BackgroundSurfaceModifier& modifier_;
        const TriangulatedSurfaceDecimatorOperator< D >& operator_;
    };
} // namespace brevane
