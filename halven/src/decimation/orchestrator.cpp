#include <halven/decimation/orchestrator.h>

#include <algorithm>
#include <vector>

#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    template < index_t D >
    class Orchestrator< SurfaceEdge< D > >::Impl
    {
    public:
        explicit Impl( const SurfaceMesh< D >& surface ) : surface_( surface )
        {
        }

        [[nodiscard]] const SurfaceMesh< D >& surface() const
        {
            return surface_;
        }

        // The polygon edge of the fan of the first vertex that joins it to
        // the second.
        [[nodiscard]] std::optional< PolygonEdge > search_fan(
            index_t first, index_t second ) const
        {
            for( const auto& corner : surface_.polygons_around_vertex( first ) )
            {
                const auto outgoing = PolygonEdge{ corner };
                const auto incoming =
                    surface_.previous_polygon_edge( outgoing );
                for( const auto& polygon_edge : { outgoing, incoming } )
                {
                    const auto vertices =
                        surface_.polygon_edge_vertices( polygon_edge );
                    if( vertices[0] == second || vertices[1] == second )
                    {
                        return polygon_edge;
                    }
                }
            }
            return std::nullopt;
        }

        void start_pass()
        {
            pass_++;
        }

        // Queues the vertex's edges for the pass after the current one.
        void queue( index_t vertex )
        {
            if( vertex >= queued_for_.size() )
            {
                queued_for_.resize(
                    std::max( vertex + 1, surface_.nb_vertices() ), 0 );
            }
            if( queued_for_[vertex] != pass_ + 1 )
            {
                queued_for_[vertex] = pass_ + 1;
                queued_.push_back( vertex );
            }
        }

        // Replaces the edges with those around the queued vertices: an edge
        // between two queued vertices is taken from the smaller one only.
        void take_queued_edges( std::vector< SurfaceEdge< D > >& edges )
        {
            edges.clear();
            const auto next_pass = pass_ + 1;
            for( const auto vertex : queued_ )
            {
                const auto fan = surface_.polygons_around_vertex( vertex );
                for( const auto& corner : fan )
                {
                    add_edge( vertex, PolygonEdge{ corner }, next_pass, edges );
                }
                // The fan holds every edge as an outgoing one, but the
                // incoming border edge of a border vertex.
                if( !fan.empty() )
                {
                    const auto incoming = surface_.previous_polygon_edge(
                        PolygonEdge{ fan.back() } );
                    if( surface_.is_edge_on_border( incoming ) )
                    {
                        add_edge( vertex, incoming, next_pass, edges );
                    }
                }
            }
            queued_.clear();
        }

    private:
        void add_edge( index_t vertex, const PolygonEdge& polygon_edge,
            index_t next_pass, std::vector< SurfaceEdge< D > >& edges ) const
        {
            SurfaceEdge< D > edge{ surface_, polygon_edge };
            const auto other = edge.vertices[0] == vertex ? edge.vertices[1]
                                                          : edge.vertices[0];
            if( other < vertex && other < queued_for_.size()
                && queued_for_[other] == next_pass )
            {
                return;
            }
            edges.push_back( edge );
        }

        const SurfaceMesh< D >& surface_;
        // Passes are numbered from 1 over every apply() of the orchestrator,
        // so that marks never need resetting.
        index_t pass_{ 0 };
        // For each vertex, the last pass its edges were queued for.
        std::vector< index_t > queued_for_;
        // The vertices queued for the next pass, in the order reported.
        std::vector< index_t > queued_;
    };

    template < index_t D >
    Orchestrator< SurfaceEdge< D > >::Orchestrator(
        const SurfaceMesh< D >& surface )
        : impl_( std::make_unique< Impl >( surface ) )
    {
    }

    template < index_t D >
    Orchestrator< SurfaceEdge< D > >::~Orchestrator() = default;

    template < index_t D >
    void Orchestrator< SurfaceEdge< D > >::apply(
        absl::Span< const SurfaceEdge< D > > edges )
    {
        // The given edges make the first pass as they are; later passes
        // are over the edges queued by the previous one.
        std::vector< SurfaceEdge< D > > queued;
        auto pass = edges;
        for( index_t level = 0; !pass.empty(); level++ )
        {
            if( level == nb_levels() )
            {
                if( skip_on_infinite_loop() )
                {
                    return;
                }
                throw TessarkException{ "[Orchestrator::apply] ", pass.size(),
                    " edges still change after ", level,
                    " passes, the first between vertices ",
                    pass.front().vertices[0], " and ",
                    pass.front().vertices[1] };
            }
            impl_->start_pass();
            for( const auto& edge : pass )
            {
                const auto current = find( edge );
                if( !current || skip_element( *current ) )
                {
                    continue;
                }
                const auto result = process_element( *current );
                if( !result )
                {
                    continue;
                }
                for( const auto vertex : result->modified_vertices )
                {
                    impl_->queue( vertex );
                }
            }
            impl_->take_queued_edges( queued );
            pass = queued;
        }
    }

    template < index_t D >
    bool Orchestrator< SurfaceEdge< D > >::is_polygon_live(
        index_t polygon ) const
    {
        const auto& surface = impl_->surface();
        const auto vertex = surface.polygon_vertex( { polygon, 0 } );
        for( const auto& corner : surface.polygons_around_vertex( vertex ) )
        {
            if( corner.polygon_id == polygon )
            {
                return true;
            }
        }
        return false;
    }

    template < index_t D >
    auto Orchestrator< SurfaceEdge< D > >::find(
        const SurfaceEdge< D >& edge ) const
        -> std::optional< SurfaceEdge< D > >
    {
        const auto& surface = impl_->surface();
        const auto [first, second] = edge.vertices;
        if( first >= surface.nb_vertices() || second >= surface.nb_vertices() )
        {
            return std::nullopt;
        }
        // Most edges are still where they were last seen.
        const auto& [polygon, local] = edge.polygon_edge;
        if( polygon < surface.nb_polygons()
            && local < surface.nb_polygon_vertices( polygon ) )
        {
            const auto vertices =
                surface.polygon_edge_vertices( edge.polygon_edge );
            if( std::minmax( vertices[0], vertices[1] )
                    == std::minmax( first, second )
                && is_polygon_live( polygon ) )
            {
                return edge;
            }
        }
        const auto polygon_edge = impl_->search_fan( first, second );
        if( !polygon_edge )
        {
            return std::nullopt;
        }
        SurfaceEdge< D > found;
        found.polygon_edge = *polygon_edge;
        found.vertices = edge.vertices;
        return found;
    }

    template class Orchestrator< SurfaceEdge< 2 > >;
} // namespace brevane
