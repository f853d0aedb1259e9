#include <tessark/mesh/hybrid_solid.h>

#include <algorithm>
#include <array>
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
        // adjacency search reads them without a call per facet.
        struct FacetTable
        {
            local_index_t nb_facets{ 0 };
            std::array< local_index_t, 6 > sizes{};
            std::array< std::array< local_index_t, 4 >, 6 > facets{};
        };

        std::array< FacetTable, 4 > facet_tables()
        {
            std::array< FacetTable, 4 > tables;
            for( const auto type :
                { PolyhedronType::tetrahedron, PolyhedronType::pyramid,
                    PolyhedronType::prism, PolyhedronType::hexahedron } )
            {
                auto& table = tables[static_cast< std::size_t >( type )];
                table.nb_facets = polyhedron_type_nb_facets( type );
                for( local_index_t facet = 0; facet < table.nb_facets; facet++ )
                {
                    const auto locals = polyhedron_type_facet( type, facet );
                    table.sizes[facet] =
                        static_cast< local_index_t >( locals.size() );
                    std::copy( locals.begin(), locals.end(),
                        table.facets[facet].begin() );
                }
            }
            return tables;
        }

        // The vertices of a facet in increasing order, NO_ID past its size.
        using FacetKey = std::array< index_t, 4 >;

        FacetKey facet_key( const index_t* vertices,
            const std::array< local_index_t, 4 >& locals, local_index_t size )
        {
            FacetKey key{ NO_ID, NO_ID, NO_ID, NO_ID };
            for( local_index_t i = 0; i < size; i++ )
            {
                auto value = vertices[locals[i]];
                auto slot = i;
                for( ; slot > 0 && key[slot - 1] > value; slot-- )
                {
                    key[slot] = key[slot - 1];
                }
                key[slot] = value;
            }
            return key;
        }

        // Advances through a list sorted by increasing value; true when it
        // holds the value.
        bool advance_to(
            const index_t*& cursor, const index_t* end, index_t value )
        {
            while( cursor != end && *cursor < value )
            {
                cursor++;
            }
            return cursor != end && *cursor == value;
        }
    } // namespace

    template < index_t D >
    void HybridSolid< D >::compute_polyhedron_adjacencies()
    {
        // The polyhedra around each vertex, in compressed rows of increasing
        // polyhedron index: the polyhedra holding a facet are those in the
        // rows of all its vertices, found by walking three rows together.
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
        const auto row = [&]( index_t vertex )
        {
            const index_t* begin = around.data();
            return std::pair{ begin + around_offsets[vertex],
                begin + around_offsets[vertex + 1] };
        };
        // The other polyhedron with a facet of the same vertices when there
        // is exactly one; a facet met by more is non-manifold and joins
        // none.
        const auto across =
            [&]( index_t polyhedron, const FacetKey& key, local_index_t size )
        {
            auto [cursor, end] = row( key[0] );
            auto [second, second_end] = row( key[1] );
            auto [third, third_end] = row( key[2] );
            index_t match{ NO_ID };
            for( ; cursor != end; cursor++ )
            {
                const auto other = *cursor;
                if( !advance_to( second, second_end, other )
                    || !advance_to( third, third_end, other )
                    || other == polyhedron )
                {
                    continue;
                }
                const auto* vertices =
                    vertices_.data() + vertex_offsets_[other];
                const auto& table =
                    tables[static_cast< std::size_t >( types_[other] )];
                for( local_index_t facet = 0; facet < table.nb_facets; facet++ )
                {
                    if( table.sizes[facet] != size
                        || facet_key( vertices, table.facets[facet], size )
                               != key )
                    {
                        continue;
                    }
                    if( match != NO_ID )
                    {
                        return NO_ID;
                    }
                    match = other;
                }
            }
            return match;
        };
        // Each polyhedron fills its own facets only, so the polyhedra are
        // independent and shared between threads.
        tbb::parallel_for( tbb::blocked_range< index_t >( 0, nb_polyhedra() ),
            [&]( const tbb::blocked_range< index_t >& range )
            {
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
                        const auto size = table.sizes[facet];
                        adjacents_[facet_offsets_[polyhedron] + facet] = across(
                            polyhedron,
                            facet_key( vertices, table.facets[facet], size ),
                            size );
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
