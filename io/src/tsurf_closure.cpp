#include <io/tsurf_closure.h>

#include <utility>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/string_concatenation.h>

namespace brevane
{
    namespace
    {
        using UniqueEdge = std::pair< index_t, index_t >;

        // Marks a unique vertex or edge seen in more than one surface.
        constexpr index_t SEVERAL_SURFACES{ NO_ID - 1 };

        // Finds the border edges no other surface has. Only edges whose two
        // ends are in several surfaces can be shared: they are the only
        // ones looked up by vertex pair, which keeps the hash map to the
        // lines of the model rather than every edge.
        class BorderClosure
        {
        public:
            explicit BorderClosure( const BRep& model )
                : model_( model ),
                  surface_of_unique_( model.nb_unique_vertices(), NO_ID )
            {
            }

            std::vector< std::string > unshared_borders()
            {
                for_each_surface(
                    [this]( const Surface< 3 >& surface, index_t ordinal )
                    {
                        for( const auto unique : uniques( surface ) )
                        {
                            if( unique != NO_ID )
                            {
                                mark( surface_of_unique_[unique], ordinal );
                            }
                        }
                    } );
                for_each_surface(
                    [this]( const Surface< 3 >& surface, index_t ordinal )
                    {
                        for_each_edge( surface,
                            [&]( const PolygonEdge&, const UniqueEdge& edge )
                            {
                                if( is_shared( edge.first )
                                    && is_shared( edge.second ) )
                                {
                                    mark( surface_of_edge_
                                              .try_emplace(
                                                  sorted( edge ), ordinal )
                                              .first->second,
                                        ordinal );
                                }
                            } );
                    } );
                std::vector< std::string > problems;
                for_each_surface(
                    [&]( const Surface< 3 >& surface, index_t ordinal )
                    {
                        const auto& mesh = surface.mesh();
                        for_each_edge( surface,
                            [&]( const PolygonEdge& polygon_edge,
                                const UniqueEdge& edge )
                            {
                                if( mesh.is_edge_on_border( polygon_edge )
                                    && !meets_other_surface( edge, ordinal ) )
                                {
                                    const auto segment =
                                        mesh.segment( polygon_edge );
                                    problems.push_back( concatenate(
                                        "Surface \"", surface.name(), "\" (",
                                        surface.id().string(),
                                        "): border edge from (",
                                        segment.vertices()[0].string(),
                                        ") to (",
                                        segment.vertices()[1].string(),
                                        ") meets no other surface" ) );
                                }
                            } );
                    } );
                return problems;
            }

        private:
            static UniqueEdge sorted( const UniqueEdge& edge )
            {
                return edge.first < edge.second
                           ? edge
                           : UniqueEdge{ edge.second, edge.first };
            }

            // Records that a surface has the vertex or edge.
            static void mark( index_t& owner, index_t ordinal )
            {
                if( owner == NO_ID )
                {
                    owner = ordinal;
                }
                else if( owner != ordinal )
                {
                    owner = SEVERAL_SURFACES;
                }
            }

            bool is_shared( index_t unique ) const
            {
                return unique != NO_ID
                       && surface_of_unique_[unique] == SEVERAL_SURFACES;
            }

            bool meets_other_surface(
                const UniqueEdge& edge, index_t ordinal ) const
            {
                if( !is_shared( edge.first ) || !is_shared( edge.second ) )
                {
                    return false;
                }
                const auto owner = surface_of_edge_.at( sorted( edge ) );
                return owner != ordinal;
            }

            absl::Span< const index_t > uniques(
                const Surface< 3 >& surface ) const
            {
                return model_.vertex_identifier().component_unique_vertices(
                    surface.id() );
            }

            // Calls action( surface, ordinal ) in model order.
            template < typename Action >
            void for_each_surface( Action&& action ) const
            {
                index_t ordinal{ 0 };
                for( const auto& surface : model_.surfaces() )
                {
                    action( surface, ordinal++ );
                }
            }

            // Calls action( polygon edge, unique ends ), NO_ID for an end
            // bound to no unique vertex.
            template < typename Action >
            void for_each_edge(
                const Surface< 3 >& surface, Action&& action ) const
            {
                const auto& mesh = surface.mesh();
                const auto bound = uniques( surface );
                const auto unique_of = [&bound]( index_t vertex )
                {
                    return vertex < bound.size() ? bound[vertex] : NO_ID;
                };
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    for( local_index_t local = 0;
                         local < mesh.nb_polygon_vertices( polygon ); local++ )
                    {
                        const PolygonEdge polygon_edge{ polygon, local };
                        const auto ends =
                            mesh.polygon_edge_vertices( polygon_edge );
                        action( polygon_edge, UniqueEdge{ unique_of( ends[0] ),
                                                  unique_of( ends[1] ) } );
                    }
                }
            }

            const BRep& model_;
            // The one surface (by ordinal) having each unique vertex, or
            // SEVERAL_SURFACES.
            std::vector< index_t > surface_of_unique_;
            // The same for the edges whose ends are both shared; only
            // looked up, never iterated.
            absl::flat_hash_map< UniqueEdge, index_t > surface_of_edge_;
        };
    } // namespace

    std::vector< std::string > unshared_surface_borders( const BRep& model )
    {
        return BorderClosure{ model }.unshared_borders();
    }
} // namespace brevane
