#include <halven/decimation/optimize_background_surface_elements.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane::internal
{
    namespace
    {
        // Changes near a changed vertex are tried again in the next pass;
        // a few passes let improvements spread a few rings, after which they
        // are marginal.
        constexpr index_t DEFAULT_NB_PASSES = 4;

        using Simulator = TriangulatedSurfaceOptimizerImprovementSimulator< 2 >;

        // Disjoint triangles of three vertices each, standing for the
        // triangles a change would create, so that the simulator evaluates
        // them as it does triangles of the surface while the surface stays
        // as it is. Triangles are created on first use and then only have
        // their points moved.
        class ScratchTriangles
        {
        public:
            ScratchTriangles()
                : surface_( TriangulatedSurface2D::create() ),
                  builder_( TriangulatedSurfaceBuilder2D::create( *surface_ ) )
            {
            }

            [[nodiscard]] const TriangulatedSurface2D& surface() const
            {
                return *surface_;
            }

            void set( index_t triangle, const Point2D& point0,
                const Point2D& point1, const Point2D& point2 )
            {
                while( surface_->nb_polygons() <= triangle )
                {
                    const auto first = builder_->create_point( point0 );
                    builder_->create_point( point1 );
                    builder_->create_point( point2 );
                    builder_->create_triangle(
                        { first, first + 1, first + 2 } );
                }
                const auto first = 3 * triangle;
                builder_->set_point( first, point0 );
                builder_->set_point( first + 1, point1 );
                builder_->set_point( first + 2, point2 );
            }

        private:
            std::unique_ptr< TriangulatedSurface2D > surface_;
            std::unique_ptr< TriangulatedSurfaceBuilder2D > builder_;
        };

        class BackgroundSurfaceOptimizer
        {
        public:
            BackgroundSurfaceOptimizer(
                BackgroundSurfaceConstraintModifier& constraint_modifier,
                Simulator& simulator )
                : background_(
                    constraint_modifier.modifiable_background().first ),
                  modifier_(
                      constraint_modifier.modifiable_background().second ),
                  surface_( background_.surface() ), simulator_( simulator ),
                  queued_( surface_.nb_vertices(), 0 )
            {
            }

            // The first pass tries to flip every inner edge, then to move
            // every vertex; each later pass only the edges and vertices
            // whose surroundings the changes of the previous one changed.
            void run( index_t nb_passes )
            {
                pass_ = 1;
                for( index_t polygon = 0; polygon < surface_.nb_polygons();
                     polygon++ )
                {
                    if( modifier_.is_polygon_deleted( polygon ) )
                    {
                        continue;
                    }
                    for( local_index_t local = 0; local < 3; local++ )
                    {
                        // An inner edge is tried from its triangle of
                        // smaller index; the edges a flip creates are
                        // queued for the next pass.
                        const PolygonEdge edge{ polygon, local };
                        const auto adjacent = surface_.polygon_adjacent( edge );
                        if( adjacent && *adjacent > polygon )
                        {
                            try_flip( edge );
                        }
                    }
                }
                for( index_t vertex = 0; vertex < surface_.nb_vertices();
                     vertex++ )
                {
                    if( !modifier_.is_vertex_deleted( vertex )
                        && !surface_.is_vertex_isolated( vertex ) )
                    {
                        try_move( vertex );
                    }
                }
                for( pass_ = 2; pass_ <= nb_passes
                                && !( edges_.empty() && vertices_.empty() );
                     pass_++ )
                {
                    std::vector< std::array< index_t, 2 > > edges;
                    std::vector< index_t > vertices;
                    edges.swap( edges_ );
                    vertices.swap( vertices_ );
                    for( const auto& [first, second] : edges )
                    {
                        if( const auto edge = outgoing_edge( first, second ) )
                        {
                            try_flip( *edge );
                        }
                    }
                    for( const auto vertex : vertices )
                    {
                        try_move( vertex );
                    }
                }
            }

        private:
            // The polygon edge from the first vertex to the second, found in
            // the fan of the first.
            [[nodiscard]] std::optional< PolygonEdge > outgoing_edge(
                index_t first, index_t second ) const
            {
                for( const auto& corner :
                    surface_.polygons_around_vertex( first ) )
                {
                    if( neighbour( corner ) == second )
                    {
                        return PolygonEdge{ corner };
                    }
                }
                return std::nullopt;
            }

            // Changes are simulated first, since that is cheaper than the
            // modifier's validity test, which is left for the changes worth
            // making.
            void try_flip( const PolygonEdge& edge )
            {
                const auto twin = surface_.polygon_adjacent_edge( edge );
                if( !twin )
                {
                    return;
                }
                const auto [a, b] = surface_.polygon_edge_vertices( edge );
                const auto c = surface_.polygon_edge_vertex(
                    surface_.next_polygon_edge( edge ), 1 );
                const auto d = surface_.polygon_edge_vertex(
                    surface_.next_polygon_edge( *twin ), 1 );
                simulator_.start_simulation();
                if( !simulator_.evaluate_triangle( surface_, edge.polygon_id )
                    || !simulator_.evaluate_triangle(
                        surface_, twin->polygon_id ) )
                {
                    return;
                }
                // The flip makes (a, b, c) and (b, a, d) into (a, d, c) and
                // (b, c, d).
                simulator_.start_after_change();
                scratch_.set( 0, surface_.point( a ), surface_.point( d ),
                    surface_.point( c ) );
                scratch_.set( 1, surface_.point( b ), surface_.point( c ),
                    surface_.point( d ) );
                if( !simulator_.evaluate_triangle( scratch_.surface(), 0 )
                    || !simulator_.evaluate_triangle( scratch_.surface(), 1 )
                    || !simulator_.is_better_after_simulation()
                    || !modifier_.is_flip_edge_valid( edge ) )
                {
                    return;
                }
                modifier_.flip_edge( edge );
                // The quadrilateral's sides now border other triangles, and
                // its corners have other neighbours.
                for( const auto& side :
                    { std::array{ a, d }, std::array{ d, b },
                        std::array{ b, c }, std::array{ c, a } } )
                {
                    edges_.push_back( side );
                }
                for( const auto vertex : { a, b, c, d } )
                {
                    queue( vertex );
                }
            }

            void try_move( index_t vertex )
            {
                // What the modifier refuses anyway, cheaply told first.
                if( surface_.is_vertex_on_border( vertex )
                    || !background_.macro_vertices( vertex ).empty() )
                {
                    return;
                }
                // The fan of an inner vertex: the next vertices of its
                // corners are its neighbours, each once.
                const auto fan = surface_.polygons_around_vertex( vertex );
                Point2D centre;
                for( const auto& corner : fan )
                {
                    centre += surface_.point( neighbour( corner ) );
                }
                centre *= 1. / static_cast< double >( fan.size() );
                const auto& point = surface_.point( vertex );
                for( const auto& target : { centre, ( point + centre ) * 0.5 } )
                {
                    if( target == point || !is_move_better( fan, target )
                        || !modifier_.is_move_vertex_valid( vertex, target ) )
                    {
                        continue;
                    }
                    modifier_.move_vertex( vertex, target );
                    // Every triangle of the fan changed, and so did the
                    // barycentres of the neighbours.
                    queue( vertex );
                    for( const auto& corner : fan )
                    {
                        const auto next = neighbour( corner );
                        edges_.push_back( { vertex, next } );
                        edges_.push_back(
                            { next, surface_.polygon_vertex(
                                        surface_.previous_polygon_vertex(
                                            corner ) ) } );
                        queue( next );
                    }
                    return;
                }
            }

            [[nodiscard]] index_t neighbour( const PolygonVertex& corner ) const
            {
                return surface_.polygon_vertex(
                    surface_.next_polygon_vertex( corner ) );
            }

            [[nodiscard]] bool is_move_better(
                const PolygonsAroundVertex& fan, const Point2D& target )
            {
                simulator_.start_simulation();
                for( const auto& corner : fan )
                {
                    if( !simulator_.evaluate_triangle(
                            surface_, corner.polygon_id ) )
                    {
                        return false;
                    }
                }
                simulator_.start_after_change();
                for( index_t triangle = 0; triangle < fan.size(); triangle++ )
                {
                    const auto& corner = fan[triangle];
                    scratch_.set( triangle, target,
                        surface_.point( neighbour( corner ) ),
                        surface_.point( surface_.polygon_vertex(
                            surface_.previous_polygon_vertex( corner ) ) ) );
                    if( !simulator_.evaluate_triangle(
                            scratch_.surface(), triangle ) )
                    {
                        return false;
                    }
                }
                return simulator_.is_better_after_simulation();
            }

            // The vertex may move in the next pass.
            void queue( index_t vertex )
            {
                if( queued_[vertex] != pass_ )
                {
                    queued_[vertex] = pass_;
                    vertices_.push_back( vertex );
                }
            }

            const BackgroundSurface& background_;
            BackgroundSurfaceModifier& modifier_;
            const TriangulatedSurface2D& surface_;
            Simulator& simulator_;
            ScratchTriangles scratch_;
            index_t pass_{ 0 };
            // Per vertex, the last pass that queued it for the next one.
            std::vector< index_t > queued_;
            // What the changes of the current pass queued for the next one:
            // edges to flip, each as two vertices, and vertices to move.
            std::vector< std::array< index_t, 2 > > edges_;
            std::vector< index_t > vertices_;
        };
    } // namespace

    void optimize_background_surface_elements(
        BackgroundSurfaceConstraintModifier& modifier,
        TriangulatedSurfaceOptimizerImprovementSimulator< 2 >& simulator,
        int nb_passes )
    {
        TESSARK_EXCEPTION( nb_passes >= 0,
            "[optimize_background_surface_elements] The number of passes must "
            "not be negative, got ",
            nb_passes );
        BackgroundSurfaceOptimizer optimizer{ modifier, simulator };
        optimizer.run( nb_passes == 0 ? DEFAULT_NB_PASSES
                                      : static_cast< index_t >( nb_passes ) );
    }
} // namespace brevane::internal
