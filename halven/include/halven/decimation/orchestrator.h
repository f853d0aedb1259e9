#pragma once

#include <memory>
#include <optional>

#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <halven/decimation/surface_edge.h>

namespace brevane
{
    // Runs a local process over elements of a mesh that the process itself
    // changes: elements are looked up again before being processed, and the
    // elements around each change are processed again. Each kind of element
    // has its own specialisation.
    template < typename Element >
    class Orchestrator;

    // The orchestration over the edges of a surface.
    //
    // apply() makes passes. The first pass goes through the given edges in
    // their order; each later pass goes through the edges around the
    // vertices that the previous pass reported as modified, each edge once,
    // vertices in the order they were reported. For each edge of a pass:
    // - the edge is looked up again, since earlier changes may have
    //   replaced its polygons: it is still at its polygon edge when that
    //   polygon is live and joins its two vertices there, otherwise it is
    //   searched by its vertex pair around its first vertex; an edge whose
    //   vertices are no longer joined (removed by a collapse, replaced by a
    //   flip) is skipped;
    // - skip_element may refuse it;
    // - process_element changes the surface around it, or not.
    //
    // It always ends: nb_levels bounds the number of passes. When edges are
    // still queued after the last pass, some keep coming back (each change
    // causing another): skip_on_infinite_loop tells whether to leave them
    // as they are, or to throw a TessarkException.
    //
    // The surface must keep its vertex numbering during apply() (no
    // compaction); new vertices may be created.
    template < index_t D >
    class Orchestrator< SurfaceEdge< D > >
    {
    public:
        // What processing an element changed.
        struct ProcessElementResult
        {
            // The vertices whose surrounding edges changed; their edges are
            // queued for the next pass. Removed vertices may be listed: they
            // have no edges any more.
            absl::InlinedVector< index_t, 4 > modified_vertices;
        };

        explicit Orchestrator( const SurfaceMesh< D >& surface );
        virtual ~Orchestrator();

        Orchestrator( const Orchestrator& ) = delete;
        Orchestrator& operator=( const Orchestrator& ) = delete;

        void apply( absl::Span< const SurfaceEdge< D > > edges );

    protected:
        // True when the edge, as found now, must be left alone.
        [[nodiscard]] virtual bool skip_element(
            const SurfaceEdge< D >& edge ) const = 0;
        // Processes the edge as found now; empty when nothing changed.
        [[nodiscard]] virtual std::optional< ProcessElementResult >
        process_element( const SurfaceEdge< D >& edge ) = 0;
        // What to do with edges still queued after nb_levels passes: true to
        // leave them, false to throw.
        [[nodiscard]] virtual bool skip_on_infinite_loop() const = 0;
        // The largest number of passes, the first one included.
        [[nodiscard]] virtual index_t nb_levels() const = 0;
        // True when the polygon is part of the surface. Modifiers that only
        // mark the polygons they remove leave them in the surface's arrays;
        // by default a polygon is live when the fan of its first vertex
        // holds it, and owners knowing the marks answer faster.
        [[nodiscard]] virtual bool is_polygon_live( index_t polygon ) const;

    private:
        // The edge joining the edge's two vertices as the surface holds it
        // now, empty when they are no longer joined.
        [[nodiscard]] std::optional< SurfaceEdge< D > > find(
            const SurfaceEdge< D >& edge ) const;

        class Impl;
        std::unique_ptr< Impl > impl_;
    };
} // namespace brevane
