#include <tessark/mesh/vertex_set.h>

#include "mesh/element_mapping.h"

namespace brevane
{
    VertexSet::VertexSet()
        : vertex_attributes_( std::make_unique< AttributeManager >() )
    {
    }

    VertexSet::VertexSet( const VertexSet& other )
        : vertex_attributes_( std::make_unique< AttributeManager >() )
    {
        vertex_attributes_->copy( *other.vertex_attributes_ );
    }

    VertexSet::VertexSet( VertexSet&& other ) noexcept = default;

    VertexSet& VertexSet::operator=( VertexSet&& other ) noexcept = default;

    VertexSet::~VertexSet() = default;

    std::unique_ptr< VertexSet > VertexSet::create()
    {
        return std::unique_ptr< VertexSet >{ new VertexSet };
    }

    std::unique_ptr< VertexSet > VertexSet::clone() const
    {
        return std::unique_ptr< VertexSet >{ new VertexSet{ *this } };
    }

    std::string_view VertexSet::impl_name() const
    {
        return "TessarkVertexSet";
    }

    void VertexSet::check_vertex(
        index_t vertex, std::string_view caller ) const
    {
        TESSARK_EXCEPTION( vertex < nb_vertices(), "[", caller, "] Vertex ",
            vertex, " does not exist (", nb_vertices(), " vertices)" );
    }

    void VertexSet::resize_vertex_data( index_t /*nb_vertices*/ )
    {
    }

    void VertexSet::check_vertex_deletion(
        const std::vector< bool >& /*to_delete*/ ) const
    {
    }

    void VertexSet::delete_vertex_data(
        const std::vector< bool >& /*to_delete*/,
        absl::Span< const index_t > /*old2new*/ )
    {
    }

    void VertexSet::permute_vertex_data(
        absl::Span< const index_t > /*old2new*/ )
    {
    }

    index_t VertexSet::create_vertices( index_t nb )
    {
        const auto first = nb_vertices();
        TESSARK_EXCEPTION( nb < NO_ID - first,
            "[VertexSet::create_vertices] Too many vertices: ", first, " + ",
            nb );
        vertex_attributes_->resize( first + nb );
        resize_vertex_data( first + nb );
        return first;
    }

    std::vector< index_t > VertexSet::delete_vertices(
        const std::vector< bool >& to_delete )
    {
        detail::check_deletion_size(
            to_delete, nb_vertices(), "VertexSet::delete_vertices" );
        check_vertex_deletion( to_delete );
        auto old2new = detail::deletion_mapping( to_delete );
        vertex_attributes_->delete_elements( to_delete );
        delete_vertex_data( to_delete, old2new );
        return old2new;
    }

    void VertexSet::permute_vertices( absl::Span< const index_t > old2new )
    {
        detail::check_permutation(
            old2new, nb_vertices(), "VertexSet::permute_vertices" );
        vertex_attributes_->permute_elements( old2new );
        permute_vertex_data( old2new );
    }
} // namespace brevane
