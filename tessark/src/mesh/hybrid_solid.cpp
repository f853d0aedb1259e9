#include <tessark/mesh/hybrid_solid.h>

#include <algorithm>
#include <array>
#include <optional>

#include <absl/container/flat_hash_map.h>

#include "mesh/element_mapping.h"

namespace brevane
{
    template < index_t D >
    HybridSolid< D >::HybridSolid() = default;

    template < index_t D >
    HybridSolid< D >::HybridSolid( const HybridSolid& other )
        : SolidMesh< D >( other ), types_( other.types_ ),
          vertices_( other.vertices_ ),
          vertex_offsets_( other.vertex_offsets_ ),
          adjacents_( other.adjacents_ ), facet_offsets_( other.facet_offsets_ )
    {
    }

    template < index_t D >
    HybridSolid< D >::HybridSolid( HybridSolid&& other ) noexcept = default;

    template < index_t D >
    HybridSolid< D >& HybridSolid< D >::operator=(
        HybridSolid&& other ) noexcept = default;

    template < index_t D >
    HybridSolid< D >::~HybridSolid() = default;

    template < index_t D >
    std::unique_ptr< HybridSolid< D > > HybridSolid< D >::create()
    {
        return std::unique_ptr< HybridSolid >{ new HybridSolid };
    }

    template < index_t D >
    std::unique_ptr< HybridSolid< D > > HybridSolid< D >::clone() const
    {
        return std::unique_ptr< HybridSolid >{ new HybridSolid{ *this } };
    }

    template < index_t D >
    std::string_view HybridSolid< D >::impl_name() const
    {
        return "TessarkHybridSolid3D";
    }

    template < index_t D >
    PolyhedronType HybridSolid< D >::polyhedron_type( index_t polyhedron ) const
    {
        this->check_polyhedron( polyhedron, "HybridSolid::polyhedron_type" );
        return types_[polyhedron];
    }

    template < index_t D >
    PolyhedronVertices HybridSolid< D >::polyhedron_vertices(
        index_t polyhedron ) const
    {
        this->check_polyhedron(
            polyhedron, "HybridSolid::polyhedron_vertices" );
        const auto begin = vertices_.begin() + vertex_offsets_[polyhedron];
        const auto end = vertices_.begin() + vertex_offsets_[polyhedron + 1];
        return PolyhedronVertices( begin, end );
    }

    template < index_t D >
    std::optional< index_t > HybridSolid< D >::polyhedron_adjacent(
        const PolyhedronFacet& facet ) const
    {
        this->check_polyhedron(
            facet.polyhedron_id, "HybridSolid::polyhedron_adjacent" );
        const auto first = facet_offsets_[facet.polyhedron_id];
        TESSARK_EXCEPTION(
            first + facet.facet_id < facet_offsets_[facet.polyhedron_id + 1],
            "[HybridSolid::polyhedron_adjacent] No facet ",
            static_cast< unsigned >( facet.facet_id ), " in polyhedron ",
            facet.polyhedron_id );
        const auto adjacent = adjacents_[first + facet.facet_id];
        if( adjacent == NO_ID )
        {
            return std::nullopt;
        }
        return adjacent;
    }

    template < index_t D >
    void HybridSolid< D >::check_vertex_deletion(
        const std::vector< bool >& to_delete ) const
    {
        for( index_t polyhedron = 0; polyhedron < nb_polyhedra(); polyhedron++ )
        {
            for( auto corner = vertex_offsets_[polyhedron];
                 corner < vertex_offsets_[polyhedron + 1]; corner++ )
            {
                TESSARK_EXCEPTION( !to_delete[vertices_[corner]],
                    "[HybridSolid::delete_vertices] Cannot delete vertex ",
                    vertices_[corner], ": it is used by polyhedron ",
                    polyhedron );
            }
        }
    }

    template < index_t D >
    void HybridSolid< D >::remap_polyhedron_vertices(
        absl::Span< const index_t > old2new )
    {
        detail::remap( vertices_, old2new );
    }

    template < index_t D >
    index_t HybridSolid< D >::create_polyhedron(
        PolyhedronType type, absl::Span< const index_t > vertices )
    {
        for( std::size_t local = 0; local < vertices.size(); local++ )
        {
            this->check_vertex(
                vertices[local], "HybridSolidBuilder::create_polyhedron" );
            for( std::size_t other = 0; other < local; other++ )
            {
                TESSARK_EXCEPTION( vertices[other] != vertices[local],
                    "[HybridSolidBuilder::create_polyhedron] Vertex ",
                    vertices[local], " given twice in a ",
                    polyhedron_type_name( type ) );
            }
        }
        const auto polyhedron = nb_polyhedra();
        types_.push_back( type );
        vertices_.insert( vertices_.end(), vertices.begin(), vertices.end() );
        vertex_offsets_.push_back( static_cast< index_t >( vertices_.size() ) );
        adjacents_.resize(
            adjacents_.size() + polyhedron_type_nb_facets( type ), NO_ID );
        facet_offsets_.push_back( static_cast< index_t >( adjacents_.size() ) );
        this->polyhedron_attribute_manager().resize( polyhedron + 1 );
        return polyhedron;
    }

    template < index_t D >
    void HybridSolid< D >::compute_polyhedron_adjacencies()
    {
        // The polyhedra around each vertex, in compressed rows: the
        // polyhedra that may share a facet with a given one are found around
        // one of its facet's vertices, without a table of every facet.
        const auto nb_vertices = this->nb_vertices();
        std::vector< index_t > around_offsets( nb_vertices + 1, 0 );
        for( const auto vertex : vertices_ )
        {
            around_offsets[vertex + 1]++;
        }
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            around_offsets[vertex + 1] += around_offsets[vertex];
        }
        std::vector< index_t > around( vertices_.size() );
        {
            auto next = around_offsets;
            for( index_t polyhedron = 0; polyhedron < nb_polyhedra();
                 polyhedron++ )
            {
                for( auto corner = vertex_offsets_[polyhedron];
                     corner < vertex_offsets_[polyhedron + 1]; corner++ )
                {
                    around[next[vertices_[corner]]++] = polyhedron;
                }
            }
        }
        const auto facet_key = [this]( index_t polyhedron, local_index_t facet )
        {
            std::array< index_t, 4 > key{ NO_ID, NO_ID, NO_ID, NO_ID };
            const auto locals =
                polyhedron_type_facet( types_[polyhedron], facet );
            for( std::size_t i = 0; i < locals.size(); i++ )
            {
                key[i] = vertices_[vertex_offsets_[polyhedron] + locals[i]];
            }
            std::sort( key.begin(), key.end() );
            return key;
        };
        const auto holds =
            [this]( index_t polyhedron, const std::array< index_t, 4 >& key )
        {
            const auto begin = vertices_.begin() + vertex_offsets_[polyhedron];
            const auto end =
                vertices_.begin() + vertex_offsets_[polyhedron + 1];
            return std::all_of( key.begin(), key.end(),
                [&]( index_t vertex )
                {
                    return vertex == NO_ID
                           || std::find( begin, end, vertex ) != end;
                } );
        };
        // A facet met by exactly two polyhedra joins them; met by more, it
        // is non-manifold and joins none.
        std::fill( adjacents_.begin(), adjacents_.end(), NO_ID );
        for( index_t polyhedron = 0; polyhedron < nb_polyhedra(); polyhedron++ )
        {
            const auto type = types_[polyhedron];
            for( local_index_t facet = 0;
                 facet < polyhedron_type_nb_facets( type ); facet++ )
            {
                if( adjacents_[facet_offsets_[polyhedron] + facet] != NO_ID )
                {
                    continue;
                }
                const auto key = facet_key( polyhedron, facet );
                // key[0] is the smallest vertex: every polyhedron holding
                // the facet is around it.
                std::optional< PolyhedronFacet > match;
                bool shared_by_more{ false };
                for( auto slot = around_offsets[key[0]];
                     slot < around_offsets[key[0] + 1]; slot++ )
                {
                    const auto other = around[slot];
                    if( other == polyhedron || !holds( other, key ) )
                    {
                        continue;
                    }
                    for( local_index_t other_facet = 0;
                         other_facet
                         < polyhedron_type_nb_facets( types_[other] );
                         other_facet++ )
                    {
                        if( facet_key( other, other_facet ) != key )
                        {
                            continue;
                        }
                        shared_by_more = match.has_value();
                        match = PolyhedronFacet{ other, other_facet };
                    }
                    if( shared_by_more )
                    {
                        break;
                    }
                }
                if( !match || shared_by_more )
                {
                    continue;
                }
                adjacents_[facet_offsets_[polyhedron] + facet] =
                    match->polyhedron_id;
                adjacents_[facet_offsets_[match->polyhedron_id]
                           + match->facet_id] = polyhedron;
            }
        }
    }

    template < index_t D >
    std::vector< index_t > HybridSolid< D >::delete_polyhedra(
        const std::vector< bool >& to_delete )
    {
        detail::check_deletion_size(
            to_delete, nb_polyhedra(), "HybridSolidBuilder::delete_polyhedra" );
        auto old2new = detail::deletion_mapping( to_delete );
        std::vector< index_t > vertices;
        std::vector< index_t > vertex_offsets{ 0 };
        std::vector< index_t > adjacents;
        std::vector< index_t > facet_offsets{ 0 };
        for( index_t polyhedron = 0; polyhedron < nb_polyhedra(); polyhedron++ )
        {
            if( to_delete[polyhedron] )
            {
                continue;
            }
            vertices.insert( vertices.end(),
                vertices_.begin() + vertex_offsets_[polyhedron],
                vertices_.begin() + vertex_offsets_[polyhedron + 1] );
            vertex_offsets.push_back(
                static_cast< index_t >( vertices.size() ) );
            adjacents.insert( adjacents.end(),
                adjacents_.begin() + facet_offsets_[polyhedron],
                adjacents_.begin() + facet_offsets_[polyhedron + 1] );
            facet_offsets.push_back(
                static_cast< index_t >( adjacents.size() ) );
        }
        detail::compact( types_, to_delete );
        vertices_ = std::move( vertices );
        vertex_offsets_ = std::move( vertex_offsets );
        adjacents_ = std::move( adjacents );
        facet_offsets_ = std::move( facet_offsets );
        detail::remap( adjacents_, old2new );
        this->polyhedron_attribute_manager().delete_elements( to_delete );
        return old2new;
    }

    template class HybridSolid< 3 >;
} // namespace brevane
