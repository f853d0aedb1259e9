#include <halven/decimation/triangulated_surface_decimator.h>

#include <algorithm>
#include <utility>

#include <absl/container/inlined_vector.h>

namespace brevane
{
    namespace
    {
        // Passes after the first are over the edges around the vertices
        // kept by collapses; each pass lets the coarsening spread one ring
        // further from where it happened. Coarsening to a size field
        // settles in a handful of passes; the bound only stops decimations
        // whose operator keeps accepting edges as they grow.
        constexpr index_t NB_DECIMATION_LEVELS = 16;
    } // namespace

    template < index_t D >
    TriangulatedSurfaceDecimator< D >::TriangulatedSurfaceDecimator(
        internal::BackgroundSurfaceModifier& modifier,
        const TriangulatedSurfaceDecimatorOperator< D >& decimation_operator )
        : Orchestrator< SurfaceEdge< D > >( modifier.background().surface() ),
          modifier_( modifier ), operator_( decimation_operator )
    {
    }

    template < index_t D >
    TriangulatedSurfaceDecimator< D >::~TriangulatedSurfaceDecimator() =
        default;

    template < index_t D >
    bool TriangulatedSurfaceDecimator< D >::skip_element(
        const SurfaceEdge< D >& edge ) const
    {
        return operator_.skip_edge( surface(), edge.polygon_edge );
    }

    template < index_t D >
    auto TriangulatedSurfaceDecimator< D >::process_element(
        const SurfaceEdge< D >& edge ) -> std::optional< ProcessElementResult >
    {
        absl::InlinedVector< OrientedEdge, 2 > candidates;
        for( local_index_t removed = 0; removed < 2; removed++ )
        {
            auto candidate = oriented( edge, removed );
            if( allowed_collapse_edge( candidate ) )
            {
                candidates.push_back( candidate );
            }
        }
        if( candidates.size() == 2
            && longest_new_edge2( candidates[1] )
                   < longest_new_edge2( candidates[0] ) )
        {
            std::swap( candidates[0], candidates[1] );
        }
        for( const auto& candidate : candidates )
        {
            if( auto result = collapse_edge( candidate ) )
            {
                return result;
            }
        }
        return std::nullopt;
    }

    template < index_t D >
    bool TriangulatedSurfaceDecimator< D >::skip_on_infinite_loop() const
    {
        return true;
    }

    template < index_t D >
    index_t TriangulatedSurfaceDecimator< D >::nb_levels() const
    {
        return NB_DECIMATION_LEVELS;
    }

    template < index_t D >
    bool TriangulatedSurfaceDecimator< D >::is_polygon_live(
        index_t polygon ) const
    {
        return !modifier_.is_polygon_deleted( polygon );
    }

    template < index_t D >
    auto TriangulatedSurfaceDecimator< D >::collapse_edge(
        const OrientedEdge& edge ) -> std::optional< ProcessElementResult >
    {
        const auto [removed, kept] = edge.vertices;
        if( !modifier_.is_collapse_edge_valid( removed, kept ) )
        {
            return std::nullopt;
        }
        ProcessElementResult result;
        result.modified_vertices.push_back(
            modifier_.collapse_edge( removed, kept ) );
        return result;
    }

    template < index_t D >
    const TriangulatedSurface< D >& TriangulatedSurfaceDecimator< D >::surface()
        const
    {
        return modifier_.background().surface();
    }

    template < index_t D >
    internal::BackgroundSurfaceModifier&
    TriangulatedSurfaceDecimator< D >::modifier() const
    {
        return modifier_;
    }

    template < index_t D >
    auto TriangulatedSurfaceDecimator< D >::oriented(
        const SurfaceEdge< D >& edge, local_index_t removed ) const
        -> OrientedEdge
    {
        OrientedEdge result;
        result.vertices = { edge.vertices[removed],
            edge.vertices[1 - removed] };
        result.polygon_edge = edge.polygon_edge;
        if( surface().polygon_edge_vertex( edge.polygon_edge, 0 )
            != result.vertices[0] )
        {
            if( const auto other =
                    surface().polygon_adjacent_edge( edge.polygon_edge ) )
            {
                result.polygon_edge = *other;
            }
        }
        return result;
    }

    template < index_t D >
    double TriangulatedSurfaceDecimator< D >::longest_new_edge2(
        const OrientedEdge& edge ) const
    {
        const auto& mesh = surface();
        const auto [removed, kept] = edge.vertices;
        const auto& kept_point = mesh.point( kept );
        double longest{ 0 };
        for( const auto neighbour : mesh.vertices_around_vertex( removed ) )
        {
            if( neighbour != kept )
            {
                longest = std::max(
                    longest, Vector< D >{ kept_point, mesh.point( neighbour ) }
                                 .length2() );
            }
        }
        return longest;
    }

    template class TriangulatedSurfaceDecimator< 2 >;
} // namespace brevane
