#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/common.h>
#include <tessark/basic/tessark_exception.h>

// Old-to-new mappings of element deletion and reordering, shared by the
// meshes' storage arrays.
namespace brevane::detail
{
    // old2new of a deletion: survivors numbered in order, NO_ID for the
    // flagged elements.
    inline std::vector< index_t > deletion_mapping(
        const std::vector< bool >& to_delete )
    {
        std::vector< index_t > old2new( to_delete.size(), NO_ID );
        index_t next{ 0 };
        for( std::size_t element = 0; element < to_delete.size(); element++ )
        {
            if( !to_delete[element] )
            {
                old2new[element] = next++;
            }
        }
        return old2new;
    }

    inline void check_deletion_size( const std::vector< bool >& to_delete,
        index_t nb_elements, std::string_view caller )
    {
        TESSARK_EXCEPTION( to_delete.size() == nb_elements, "[", caller, "] ",
            to_delete.size(), " deletion flags given for ", nb_elements,
            " elements" );
    }

    inline void check_permutation( absl::Span< const index_t > old2new,
        index_t nb_elements, std::string_view caller )
    {
        TESSARK_EXCEPTION( old2new.size() == nb_elements, "[", caller,
            "] Permutation of size ", old2new.size(), " given for ",
            nb_elements, " elements" );
        std::vector< bool > reached( nb_elements, false );
        for( index_t element = 0; element < nb_elements; element++ )
        {
            const auto target = old2new[element];
            TESSARK_EXCEPTION( target < nb_elements && !reached[target], "[",
                caller, "] Not a permutation: element ", element, " mapped to ",
                target );
            reached[target] = true;
        }
    }

    // Keeps the unflagged values, in order.
    template < typename T >
    void compact(
        std::vector< T >& values, const std::vector< bool >& to_delete )
    {
        std::size_t kept{ 0 };
        for( std::size_t element = 0; element < values.size(); element++ )
        {
            if( to_delete[element] )
            {
                continue;
            }
            if( kept != element )
            {
                values[kept] = std::move( values[element] );
            }
            kept++;
        }
        values.erase( values.begin() + static_cast< std::ptrdiff_t >( kept ),
            values.end() );
    }

    // Value i moves to old2new[i] (a checked permutation).
    template < typename T >
    void permute(
        std::vector< T >& values, absl::Span< const index_t > old2new )
    {
        std::vector< T > permuted( values.size() );
        for( std::size_t element = 0; element < values.size(); element++ )
        {
            permuted[old2new[element]] = std::move( values[element] );
        }
        values = std::move( permuted );
    }

    // Replaces each stored index by its image; indices outside the mapping
    // (NO_ID) stay NO_ID.
    inline void remap(
        std::vector< index_t >& indices, absl::Span< const index_t > old2new )
    {
        for( auto& index : indices )
        {
            index = index < old2new.size() ? old2new[index] : NO_ID;
        }
    }
} // namespace brevane::detail
