#include "background/vertex_tracker.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include <tessark/basic/tessark_exception.h>

namespace brevane::internal::detail
{
    VertexTracker::VertexTracker( index_t nb_vertices )
        : original_to_current_( nb_vertices )
    {
        std::iota( original_to_current_.begin(), original_to_current_.end(),
            index_t{ 0 } );
        ensure( nb_vertices );
    }

    void VertexTracker::ensure( index_t nb_vertices )
    {
        for( auto vertex = static_cast< index_t >( parents_.size() );
             vertex < nb_vertices; vertex++ )
        {
            parents_.push_back( vertex );
            sizes_.push_back( 1 );
            survivors_.push_back( vertex );
        }
    }

    void VertexTracker::add_vertex( index_t vertex )
    {
        ensure( vertex + 1 );
        if( !compacted_ && vertex == original_to_current_.size() )
        {
            original_to_current_.push_back( vertex );
        }
    }

    index_t VertexTracker::root( index_t vertex ) const
    {
        while( parents_[vertex] != vertex )
        {
            vertex = parents_[vertex];
        }
        return vertex;
    }

    void VertexTracker::merge( index_t from, index_t to )
    {
        ensure( std::max( from, to ) + 1 );
        auto removed = root( from );
        auto kept = root( to );
        TESSARK_EXCEPTION( removed != kept, "[VertexTracker::merge] Vertices ",
            from, " and ", to, " were already merged" );
        if( sizes_[removed] > sizes_[kept] )
        {
            std::swap( removed, kept );
        }
        parents_[removed] = kept;
        sizes_[kept] += sizes_[removed];
        survivors_[kept] = to;
    }

    std::optional< index_t > VertexTracker::current( index_t original ) const
    {
        if( original >= original_to_current_.size() )
        {
            return std::nullopt;
        }
        const auto vertex = original_to_current_[original];
        if( vertex == NO_ID )
        {
            return std::nullopt;
        }
        if( vertex >= parents_.size() )
        {
            return vertex;
        }
        return survivors_[root( vertex )];
    }

    void VertexTracker::compact(
        absl::Span< const index_t > old2new, index_t nb_vertices )
    {
        ensure( static_cast< index_t >( old2new.size() ) );
        for( auto& vertex : original_to_current_ )
        {
            if( vertex == NO_ID )
            {
                continue;
            }
            const auto survivor = survivors_[root( vertex )];
            vertex = survivor < old2new.size() ? old2new[survivor] : NO_ID;
        }
        parents_.clear();
        sizes_.clear();
        survivors_.clear();
        ensure( nb_vertices );
        compacted_ = true;
    }
} // namespace brevane::internal::detail
