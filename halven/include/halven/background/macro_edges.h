#pragma once

#include <memory>

#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>

#include <halven/background/mesh_records.h>

namespace brevane::internal
{
    // The model edges a background edge lies along.
    using MacroEdgeRecords = absl::InlinedVector< MeshEdge, 1 >;
    // The records of the edges around a vertex.
    using IncidentMacroEdges = absl::InlinedVector< MeshEdge, 4 >;

    class MacroEdgesBuilder;

    // Which model edges (lines) each unique edge of a background surface lies
    // along. The lists are an edge attribute of the surface
    // ("halven_macro_edges", transferable, neither assignable nor
    // interpolable), indexed like SurfaceMesh::edges(), so they follow the
    // creation and compaction of edges. A list holds each record once.
    // Chains of edges carrying the records of one model line stand for that
    // line.
    class MacroEdges
    {
    public:
        explicit MacroEdges( const TriangulatedSurface2D& surface );

        // Empty for an edge never given a record; throws when the edge does
        // not exist.
        [[nodiscard]] const MacroEdgeRecords& macro_edges( index_t edge ) const;

        // The records of every edge joining the vertex to a neighbour, the
        // neighbours taken in the order of
        // SurfaceMesh::vertices_around_vertex, the records of one edge in
        // their stored order. A record on two edges around the vertex
        // appears twice.
        [[nodiscard]] IncidentMacroEdges incident_macro_edges(
            index_t vertex ) const;

    private:
        friend class MacroEdgesBuilder;

        const TriangulatedSurface2D* surface_;
        std::shared_ptr< VariableAttribute< MacroEdgeRecords > > edges_;
    };

    // The writer of a MacroEdges.
    class MacroEdgesBuilder
    {
    public:
        explicit MacroEdgesBuilder( MacroEdges& edges );

        // Attaches the record to every listed edge (once per edge).
        void add_macro_edge_info(
            const MeshEdge& record, absl::Span< const index_t > edges );
        // Detaches the record from one edge, if it has it.
        void remove_macro_edge_info( const MeshEdge& record, index_t edge );

    private:
        MacroEdges& edges_;
    };
} // namespace brevane::internal
