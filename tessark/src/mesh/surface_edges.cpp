#include <tessark/mesh/surface_edges.h>

#include <algorithm>

#include "mesh/element_mapping.h"

namespace brevane
{
    SurfaceEdges::SurfaceEdges()
        : attributes_( std::make_unique< AttributeManager >() )
    {
    }

    SurfaceEdges::SurfaceEdges( const SurfaceEdges& other )
        : edges_( other.edges_ ), lookup_( other.lookup_ ),
          attributes_( std::make_unique< AttributeManager >() )
    {
        attributes_->copy( *other.attributes_ );
    }

    SurfaceEdges::SurfaceEdges( SurfaceEdges&& other ) noexcept = default;

    SurfaceEdges& SurfaceEdges::operator=(
        SurfaceEdges&& other ) noexcept = default;

    SurfaceEdges::~SurfaceEdges() = default;

    std::uint64_t SurfaceEdges::key( const std::array< index_t, 2 >& vertices )
    {
        const auto low = std::min( vertices[0], vertices[1] );
        const auto high = std::max( vertices[0], vertices[1] );
        return ( static_cast< std::uint64_t >( low ) << 32 ) | high;
    }

    const std::array< index_t, 2 >& SurfaceEdges::edge_vertices(
        index_t edge ) const
    {
        TESSARK_EXCEPTION( edge < nb_edges(),
            "[SurfaceEdges::edge_vertices] Edge ", edge, " does not exist (",
            nb_edges(), " edges)" );
        return edges_[edge];
    }

    std::optional< index_t > SurfaceEdges::edge_from_vertices(
        const std::array< index_t, 2 >& vertices ) const
    {
        const auto found = lookup_.find( key( vertices ) );
        if( found == lookup_.end() )
        {
            return std::nullopt;
        }
        return found->second;
    }

    index_t SurfaceEdges::find_or_create_edge(
        const std::array< index_t, 2 >& vertices )
    {
        const auto inserted =
            lookup_.try_emplace( key( vertices ), nb_edges() );
        if( inserted.second )
        {
            edges_.push_back( vertices );
            attributes_->resize( nb_edges() );
        }
        return inserted.first->second;
    }

    void SurfaceEdges::reserve( index_t nb_edges )
    {
        // At least doubling, so that many small reservations stay linear.
        if( nb_edges <= edges_.capacity() )
        {
            return;
        }
        const auto size =
            std::max< std::size_t >( nb_edges, 2 * edges_.capacity() );
        edges_.reserve( size );
        lookup_.reserve( size );
    }

    std::vector< index_t > SurfaceEdges::delete_edges(
        const std::vector< bool >& to_delete )
    {
        auto old2new = detail::deletion_mapping( to_delete );
        detail::compact( edges_, to_delete );
        attributes_->delete_elements( to_delete );
        rebuild_lookup();
        return old2new;
    }

    void SurfaceEdges::remap_vertices( absl::Span< const index_t > old2new )
    {
        for( auto& edge : edges_ )
        {
            for( auto& vertex : edge )
            {
                vertex = vertex < old2new.size() ? old2new[vertex] : NO_ID;
            }
        }
        rebuild_lookup();
    }

    void SurfaceEdges::rebuild_lookup()
    {
        lookup_.clear();
        lookup_.reserve( edges_.size() );
        for( index_t edge = 0; edge < nb_edges(); edge++ )
        {
            lookup_.emplace( key( edges_[edge] ), edge );
        }
    }
} // namespace brevane
