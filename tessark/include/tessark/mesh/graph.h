#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <absl/container/inlined_vector.h>

#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/vertex_set.h>

namespace brevane
{
    class GraphBuilder;

    // The ends of the edges meeting at a vertex.
    using EdgesAroundVertex = absl::InlinedVector< EdgeVertex, 2 >;

    // Vertices and edges between two of them. Each vertex keeps the list of
    // edge ends attached to it, updated as edges change, so walking a graph
    // never scans all edges. An edge created without vertices has NO_ID ends
    // until they are set.
    class Graph : public VertexSet
    {
    public:
        ~Graph() override;

        Graph( Graph&& other ) noexcept;
        Graph& operator=( Graph&& other ) noexcept;

        [[nodiscard]] static std::unique_ptr< Graph > create();
        // A copy with the transferable vertex and edge attributes.
        [[nodiscard]] std::unique_ptr< Graph > clone() const;

        [[nodiscard]] std::string_view impl_name() const override;

        [[nodiscard]] index_t nb_edges() const
        {
            return static_cast< index_t >( edges_.size() );
        }
        [[nodiscard]] index_t edge_vertex(
            const EdgeVertex& edge_vertex ) const;
        [[nodiscard]] const std::array< index_t, 2 >& edge_vertices(
            index_t edge ) const;
        [[nodiscard]] const EdgesAroundVertex& edges_around_vertex(
            index_t vertex ) const;
        [[nodiscard]] bool is_vertex_isolated( index_t vertex ) const;
        // True when no other edge touches either end of the edge.
        [[nodiscard]] bool is_edge_isolated( index_t edge ) const;
        // The first edge joining the two vertices, in either direction.
        [[nodiscard]] std::optional< index_t > edge_from_vertices(
            index_t vertex0, index_t vertex1 ) const;

        [[nodiscard]] AttributeManager& edge_attribute_manager() const
        {
            return *edge_attributes_;
        }

    protected:
        Graph();
        Graph( const Graph& other );

        void check_edge( index_t edge, std::string_view caller ) const;

        void resize_vertex_data( index_t nb_vertices ) override;
        void check_vertex_deletion(
            const std::vector< bool >& to_delete ) const override;
        void delete_vertex_data( const std::vector< bool >& to_delete,
            absl::Span< const index_t > old2new ) override;
        void permute_vertex_data(
            absl::Span< const index_t > old2new ) override;

    private:
        friend class GraphBuilder;

        index_t create_edges( index_t nb );
        void set_edge_vertex( const EdgeVertex& edge_vertex, index_t vertex );
        std::vector< index_t > delete_edges(
            const std::vector< bool >& to_delete );
        void remap_vertices( absl::Span< const index_t > old2new );

        std::vector< std::array< index_t, 2 > > edges_;
        std::vector< EdgesAroundVertex > edges_around_vertex_;
        std::unique_ptr< AttributeManager > edge_attributes_;
    };
} // namespace brevane
