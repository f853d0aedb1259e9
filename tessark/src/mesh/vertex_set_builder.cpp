#include <tessark/mesh/vertex_set_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    VertexSetBuilder::VertexSetBuilder( VertexSet& mesh ) : vertex_set_( mesh )
    {
    }

    VertexSetBuilder::~VertexSetBuilder() = default;

    std::unique_ptr< VertexSetBuilder > VertexSetBuilder::create(
        VertexSet& mesh )
    {
        return create_mesh_builder< VertexSetBuilder >( mesh );
    }

    index_t VertexSetBuilder::create_vertex()
    {
        return vertex_set_.create_vertices( 1 );
    }

    index_t VertexSetBuilder::create_vertices( index_t nb )
    {
        return vertex_set_.create_vertices( nb );
    }

    std::vector< index_t > VertexSetBuilder::delete_vertices(
        const std::vector< bool >& to_delete )
    {
        return vertex_set_.delete_vertices( to_delete );
    }

    void VertexSetBuilder::permute_vertices(
        absl::Span< const index_t > old2new )
    {
        vertex_set_.permute_vertices( old2new );
    }
} // namespace brevane
