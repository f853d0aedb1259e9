#pragma once

#include <memory>
#include <vector>

#include <tessark/mesh/graph.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    // The writer of a Graph. Vertex and edge attributes follow every change.
    class GraphBuilder : public VertexSetBuilder
    {
    public:
        // The builder registered for the graph's impl_name() (an
        // EdgedCurveBuilder for an EdgedCurve); throws
        // "Cannot create mesh builder with key: <key>" when there is none.
        [[nodiscard]] static std::unique_ptr< GraphBuilder > create(
            Graph& mesh );

        explicit GraphBuilder( Graph& mesh );

        // An edge with NO_ID ends, to be set with set_edge_vertex.
        index_t create_edge();
        // Throws when a vertex does not exist or when both are the same.
        index_t create_edge( index_t vertex0, index_t vertex1 );
        // Returns the first new edge; the new edges have NO_ID ends.
        index_t create_edges( index_t nb );
        void set_edge_vertex( const EdgeVertex& edge_vertex, index_t vertex );
        // Removes the flagged edges (one flag per edge) and returns the
        // old-to-new edge mapping, NO_ID for the deleted ones.
        std::vector< index_t > delete_edges(
            const std::vector< bool >& to_delete );
        // Removes the vertices no edge uses; returns the old-to-new vertex
        // mapping.
        std::vector< index_t > delete_isolated_vertices();

    private:
        Graph& graph_;
    };
} // namespace brevane
