#include <tessark/mesh/graph.h>

#include <algorithm>

#include "mesh/element_mapping.h"

namespace brevane
{
    Graph::Graph() : edge_attributes_( std::make_unique< AttributeManager >() )
    {
    }

    Graph::Graph( const Graph& other )
        : VertexSet( other ), edges_( other.edges_ ),
          edges_around_vertex_( other.edges_around_vertex_ ),
          edge_attributes_( std::make_unique< AttributeManager >() )
    {
        edge_attributes_->copy( *other.edge_attributes_ );
    }

    Graph::Graph( Graph&& other ) noexcept = default;

    Graph& Graph::operator=( Graph&& other ) noexcept = default;

    Graph::~Graph() = default;

    std::unique_ptr< Graph > Graph::create()
    {
        return std::unique_ptr< Graph >{ new Graph };
    }

    std::unique_ptr< Graph > Graph::clone() const
    {
        return std::unique_ptr< Graph >{ new Graph{ *this } };
    }

    std::string_view Graph::impl_name() const
    {
        return "TessarkGraph";
    }

    void Graph::check_edge( index_t edge, std::string_view caller ) const
    {
        TESSARK_EXCEPTION( edge < nb_edges(), "[", caller, "] Edge ", edge,
            " does not exist (", nb_edges(), " edges)" );
    }

    index_t Graph::edge_vertex( const EdgeVertex& edge_vertex ) const
    {
        check_edge( edge_vertex.edge_id, "Graph::edge_vertex" );
        TESSARK_EXCEPTION( edge_vertex.vertex_id < 2,
            "[Graph::edge_vertex] Local vertex ",
            static_cast< unsigned >( edge_vertex.vertex_id ), " of edge ",
            edge_vertex.edge_id, " must be 0 or 1" );
        return edges_[edge_vertex.edge_id][edge_vertex.vertex_id];
    }

    const std::array< index_t, 2 >& Graph::edge_vertices( index_t edge ) const
    {
        check_edge( edge, "Graph::edge_vertices" );
        return edges_[edge];
    }

    const EdgesAroundVertex& Graph::edges_around_vertex( index_t vertex ) const
    {
        check_vertex( vertex, "Graph::edges_around_vertex" );
        return edges_around_vertex_[vertex];
    }

    bool Graph::is_vertex_isolated( index_t vertex ) const
    {
        return edges_around_vertex( vertex ).empty();
    }

    bool Graph::is_edge_isolated( index_t edge ) const
    {
        for( const auto vertex : edge_vertices( edge ) )
        {
            if( vertex != NO_ID && edges_around_vertex_[vertex].size() > 1 )
            {
                return false;
            }
        }
        return true;
    }

    std::optional< index_t > Graph::edge_from_vertices(
        index_t vertex0, index_t vertex1 ) const
    {
        for( const auto& end : edges_around_vertex( vertex0 ) )
        {
            if( edges_[end.edge_id][end.vertex_id == 0 ? 1 : 0] == vertex1 )
            {
                return end.edge_id;
            }
        }
        return std::nullopt;
    }

    void Graph::resize_vertex_data( index_t nb_vertices )
    {
        edges_around_vertex_.resize( nb_vertices );
    }

    void Graph::check_vertex_deletion(
        const std::vector< bool >& to_delete ) const
    {
        for( index_t vertex = 0; vertex < nb_vertices(); vertex++ )
        {
            TESSARK_EXCEPTION(
                !to_delete[vertex] || edges_around_vertex_[vertex].empty(),
                "[Graph::delete_vertices] Cannot delete vertex ", vertex,
                ": it is used by edge ",
                edges_around_vertex_[vertex].empty()
                    ? NO_ID
                    : edges_around_vertex_[vertex].front().edge_id );
        }
    }

    void Graph::delete_vertex_data( const std::vector< bool >& to_delete,
        absl::Span< const index_t > old2new )
    {
        detail::compact( edges_around_vertex_, to_delete );
        remap_vertices( old2new );
    }

    void Graph::permute_vertex_data( absl::Span< const index_t > old2new )
    {
        detail::permute( edges_around_vertex_, old2new );
        remap_vertices( old2new );
    }

    void Graph::remap_vertices( absl::Span< const index_t > old2new )
    {
        for( auto& edge : edges_ )
        {
            for( auto& vertex : edge )
            {
                vertex = vertex < old2new.size() ? old2new[vertex] : NO_ID;
            }
        }
    }

    index_t Graph::create_edges( index_t nb )
    {
        const auto first = nb_edges();
        TESSARK_EXCEPTION( nb < NO_ID - first,
            "[Graph::create_edges] Too many edges: ", first, " + ", nb );
        edges_.resize( first + nb, { NO_ID, NO_ID } );
        edge_attributes_->resize( first + nb );
        return first;
    }

    void Graph::set_edge_vertex( const EdgeVertex& edge_vertex, index_t vertex )
    {
        check_edge( edge_vertex.edge_id, "Graph::set_edge_vertex" );
        check_vertex( vertex, "Graph::set_edge_vertex" );
        TESSARK_EXCEPTION( edge_vertex.vertex_id < 2,
            "[Graph::set_edge_vertex] Local vertex ",
            static_cast< unsigned >( edge_vertex.vertex_id ), " of edge ",
            edge_vertex.edge_id, " must be 0 or 1" );
        auto& ends = edges_[edge_vertex.edge_id];
        TESSARK_EXCEPTION( ends[edge_vertex.opposite().vertex_id] != vertex,
            "[Graph::set_edge_vertex] Edge ", edge_vertex.edge_id,
            " would have both ends on vertex ", vertex );
        const auto old_vertex = ends[edge_vertex.vertex_id];
        if( old_vertex == vertex )
        {
            return;
        }
        if( old_vertex != NO_ID )
        {
            auto& around = edges_around_vertex_[old_vertex];
            around.erase(
                std::remove( around.begin(), around.end(), edge_vertex ),
                around.end() );
        }
        ends[edge_vertex.vertex_id] = vertex;
        edges_around_vertex_[vertex].push_back( edge_vertex );
    }

    std::vector< index_t > Graph::delete_edges(
        const std::vector< bool >& to_delete )
    {
        detail::check_deletion_size(
            to_delete, nb_edges(), "Graph::delete_edges" );
        auto old2new = detail::deletion_mapping( to_delete );
        for( auto& around : edges_around_vertex_ )
        {
            around.erase( std::remove_if( around.begin(), around.end(),
                              [&to_delete]( const EdgeVertex& end )
                              {
                                  return to_delete[end.edge_id];
                              } ),
                around.end() );
            for( auto& end : around )
            {
                end.edge_id = old2new[end.edge_id];
            }
        }
        detail::compact( edges_, to_delete );
        edge_attributes_->delete_elements( to_delete );
        return old2new;
    }
} // namespace brevane
