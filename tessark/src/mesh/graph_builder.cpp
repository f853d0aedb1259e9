#include <tessark/mesh/graph_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    GraphBuilder::GraphBuilder( Graph& mesh )
        : VertexSetBuilder( mesh ), graph_( mesh )
    {
    }

    std::unique_ptr< GraphBuilder > GraphBuilder::create( Graph& mesh )
    {
        return create_mesh_builder< GraphBuilder >( mesh );
    }

    index_t GraphBuilder::create_edge()
    {
        return graph_.create_edges( 1 );
    }

    index_t GraphBuilder::create_edge( index_t vertex0, index_t vertex1 )
    {
        graph_.check_vertex( vertex0, "GraphBuilder::create_edge" );
        graph_.check_vertex( vertex1, "GraphBuilder::create_edge" );
        TESSARK_EXCEPTION( vertex0 != vertex1,
            "[GraphBuilder::create_edge] Both ends on vertex ", vertex0 );
        const auto edge = graph_.create_edges( 1 );
        graph_.set_edge_vertex( { edge, 0 }, vertex0 );
        graph_.set_edge_vertex( { edge, 1 }, vertex1 );
        return edge;
    }

    index_t GraphBuilder::create_edges( index_t nb )
    {
        return graph_.create_edges( nb );
    }

    void GraphBuilder::set_edge_vertex(
        const EdgeVertex& edge_vertex, index_t vertex )
    {
        graph_.set_edge_vertex( edge_vertex, vertex );
    }

    std::vector< index_t > GraphBuilder::delete_edges(
        const std::vector< bool >& to_delete )
    {
        return graph_.delete_edges( to_delete );
    }

    std::vector< index_t > GraphBuilder::delete_isolated_vertices()
    {
        std::vector< bool > isolated( graph_.nb_vertices() );
        for( index_t vertex = 0; vertex < graph_.nb_vertices(); vertex++ )
        {
            isolated[vertex] = graph_.is_vertex_isolated( vertex );
        }
        return delete_vertices( isolated );
    }
} // namespace brevane
