#include <tessark/mesh/hybrid_solid.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

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
    void HybridSolid< D >::check_polyhedron_vertices( PolyhedronType type,
        absl::Span< const index_t > vertices, std::string_view caller,
        index_t polyhedron ) const
    {
        for( std::size_t local = 0; local < vertices.size(); local++ )
        {
            TESSARK_EXCEPTION( vertices[local] < this->nb_vertices(), "[",
                caller, "] Vertex ", vertices[local], " does not exist (",
                this->nb_vertices(), " vertices) for polyhedron ", polyhedron );
            for( std::size_t other = 0; other < local; other++ )
            {
                TESSARK_EXCEPTION( vertices[other] != vertices[local], "[",
                    caller, "] Vertex ", vertices[local], " given twice in a ",
                    polyhedron_type_name( type ), " for polyhedron ",
                    polyhedron );
            }
        }
    }

    template < index_t D >
    index_t HybridSolid< D >::create_polyhedron(
        PolyhedronType type, absl::Span< const index_t > vertices )
    {
        const auto polyhedron = nb_polyhedra();
        check_polyhedron_vertices( type, vertices,
            "HybridSolidBuilder::create_polyhedron", polyhedron );
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
    index_t HybridSolid< D >::create_polyhedra(
        absl::Span< const PolyhedronType > types,
        absl::Span< const index_t > vertices )
    {
        // Everything is checked before anything is stored, so that a
        // failure leaves the solid as it was.
        const auto first = nb_polyhedra();
        TESSARK_EXCEPTION(
            static_cast< std::uint64_t >( first ) + types.size() < NO_ID,
            "[HybridSolidBuilder::create_polyhedra] Too many polyhedra: ",
            first, " + ", types.size() );
        std::size_t nb_corners{ 0 };
        std::size_t nb_facets{ 0 };
        for( std::size_t p = 0; p < types.size(); p++ )
        {
            const auto nb = polyhedron_type_nb_vertices( types[p] );
            TESSARK_EXCEPTION( nb_corners + nb <= vertices.size(),
                "[HybridSolidBuilder::create_polyhedra] Polyhedron ", first + p,
                " (a ", polyhedron_type_name( types[p] ),
                ") lacks vertices: ", vertices.size(), " given for ",
                types.size(), " polyhedra" );
            check_polyhedron_vertices( types[p],
                vertices.subspan( nb_corners, nb ),
                "HybridSolidBuilder::create_polyhedra",
                static_cast< index_t >( first + p ) );
            nb_corners += nb;
            nb_facets += polyhedron_type_nb_facets( types[p] );
        }
        TESSARK_EXCEPTION( nb_corners == vertices.size(),
            "[HybridSolidBuilder::create_polyhedra] ", vertices.size(),
            " vertices given where the ", types.size(), " polyhedra have ",
            nb_corners );
        types_.insert( types_.end(), types.begin(), types.end() );
        vertices_.insert( vertices_.end(), vertices.begin(), vertices.end() );
        vertex_offsets_.reserve( vertex_offsets_.size() + types.size() );
        facet_offsets_.reserve( facet_offsets_.size() + types.size() );
        auto corner = vertex_offsets_.back();
        auto facet = facet_offsets_.back();
        for( const auto type : types )
        {
            corner += polyhedron_type_nb_vertices( type );
            facet += polyhedron_type_nb_facets( type );
            vertex_offsets_.push_back( corner );
            facet_offsets_.push_back( facet );
        }
        adjacents_.resize( adjacents_.size() + nb_facets, NO_ID );
        this->polyhedron_attribute_manager().resize( nb_polyhedra() );
        return first;
    }

    namespace
    {
        // The local facets of one polyhedron type, copied once so that the
        // adjacency search reads them without a call per facet; a facet's
        // mask has the bits of its local vertices.
        struct FacetTable
        {
            local_index_t nb_vertices{ 0 };
            local_index_t nb_facets{ 0 };
            std::array< local_index_t, 6 > sizes{};
            std::array< std::array< local_index_t, 4 >, 6 > facets{};
            std::array< std::uint8_t, 6 > masks{};
        };

        std::array< FacetTable, 4 > facet_tables()
        {
            std::array< FacetTable, 4 > tables;
            for( const auto type :
                { PolyhedronType::tetrahedron, PolyhedronType::pyramid,
                    PolyhedronType::prism, PolyhedronType::hexahedron } )
            {
                auto& table = tables[static_cast< std::size_t >( type )];
                table.nb_vertices = polyhedron_type_nb_vertices( type );
                table.nb_facets = polyhedron_type_nb_facets( type );
                for( local_index_t facet = 0; facet < table.nb_facets; facet++ )
                {
                    const auto locals = polyhedron_type_facet( type, facet );
                    table.sizes[facet] =
                        static_cast< local_index_t >( locals.size() );
                    for( std::size_t i = 0; i < locals.size(); i++ )
                    {
                        table.facets[facet][i] = locals[i];
                        table.masks[facet] |=
                            static_cast< std::uint8_t >( 1U << locals[i] );
                    }
                }
            }
            return tables;
        }

        // The mask of the local vertices of a polyhedron holding the given
        // vertices, zero when it lacks one.
        std::uint8_t holding_mask( const index_t* polyhedron_vertices,
            local_index_t nb_vertices, absl::Span< const index_t > vertices )
        {
            unsigned mask{ 0 };
            for( const auto vertex : vertices )
            {
                local_index_t local{ 0 };
                while( local < nb_vertices
                       && polyhedron_vertices[local] != vertex )
                {
                    local++;
                }
                if( local == nb_vertices )
                {
                    return 0;
                }
                mask |= 1U << local;
            }
            return static_cast< std::uint8_t >( mask );
        }
    } // namespace

    template < index_t D >
    void HybridSolid< D >::compute_polyhedron_adjacencies()
    {
        // The polyhedra around each vertex, in compressed rows of increasing
        // polyhedron index: the polyhedra holding a facet are among those in
        // the rows of two of its vertices, found by walking both rows
        // together.
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
        const auto tables = facet_tables();
        // The other polyhedron facet with the same vertices when there is
        // exactly one; a facet met by more is non-manifold and joins none.
        const auto across = [&]( index_t polyhedron,
                                absl::Span< const index_t > facet_vertices )
        {
            const auto* first =
                around.data() + around_offsets[facet_vertices[0]];
            const auto* first_end =
                around.data() + around_offsets[facet_vertices[0] + 1];
            const auto* second =
                around.data() + around_offsets[facet_vertices[1]];
            const auto* second_end =
                around.data() + around_offsets[facet_vertices[1] + 1];
            std::optional< PolyhedronFacet > match;
            while( first != first_end && second != second_end )
            {
                if( *first < *second )
                {
                    first++;
                    continue;
                }
                if( *second < *first )
                {
                    second++;
                    continue;
                }
                const auto other = *first;
                first++;
                second++;
                if( other == polyhedron )
                {
                    continue;
                }
                const auto& table =
                    tables[static_cast< std::size_t >( types_[other] )];
                const auto mask =
                    holding_mask( vertices_.data() + vertex_offsets_[other],
                        table.nb_vertices, facet_vertices );
                if( mask == 0 )
                {
                    continue;
                }
                for( local_index_t facet = 0; facet < table.nb_facets; facet++ )
                {
                    if( table.masks[facet] != mask )
                    {
                        continue;
                    }
                    if( match )
                    {
                        return std::optional< PolyhedronFacet >{};
                    }
                    match = PolyhedronFacet{ other, facet };
                }
            }
            return match;
        };
        // A polyhedron writes both sides of each facet it shares, so the
        // other side skips its search when it comes second. Both sides write
        // the same values and every slot is read and written atomically,
        // which leaves the polyhedra independent between threads.
        std::fill( adjacents_.begin(), adjacents_.end(), NO_ID );
        const auto slot = [this]( index_t polyhedron, local_index_t facet )
        {
            return std::atomic_ref< index_t >{
                adjacents_[facet_offsets_[polyhedron] + facet]
            };
        };
        tbb::parallel_for( tbb::blocked_range< index_t >( 0, nb_polyhedra() ),
            [&]( const tbb::blocked_range< index_t >& range )
            {
                std::array< index_t, 4 > facet_vertices{};
                for( auto polyhedron = range.begin(); polyhedron != range.end();
                     polyhedron++ )
                {
                    const auto* vertices =
                        vertices_.data() + vertex_offsets_[polyhedron];
                    const auto& table = tables[static_cast< std::size_t >(
                        types_[polyhedron] )];
                    for( local_index_t facet = 0; facet < table.nb_facets;
                         facet++ )
                    {
                        if( slot( polyhedron, facet )
                                .load( std::memory_order_relaxed )
                            != NO_ID )
                        {
                            continue;
                        }
                        const auto size = table.sizes[facet];
                        for( local_index_t i = 0; i < size; i++ )
                        {
                            facet_vertices[i] =
                                vertices[table.facets[facet][i]];
                        }
                        const auto match = across(
                            polyhedron, absl::MakeConstSpan(
                                            facet_vertices.data(), size ) );
                        if( !match )
                        {
                            continue;
                        }
                        slot( polyhedron, facet )
                            .store( match->polyhedron_id,
                                std::memory_order_relaxed );
                        slot( match->polyhedron_id, match->facet_id )
                            .store( polyhedron, std::memory_order_relaxed );
                    }
                }
            } );
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
