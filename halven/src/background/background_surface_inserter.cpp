#include <halven/background/background_surface_inserter.h>

#include <algorithm>

#include <tessark/geometry/predicates.h>

#include "background/point_location.h"

namespace brevane::internal
{
    class BackgroundSurfaceInserter::Impl
    {
    public:
        Impl( std::pair< BackgroundSurface&, BackgroundSurfaceModifier& > pair,
            BackgroundSurfaceBuilder& builder )
            : modifier_( pair.second ),
              records_( builder ),
              surface_( pair.first.surface() ),
              locator_( surface_, [this]( index_t triangle ) {
                  return modifier_.is_polygon_deleted( triangle );
              } )
        {
        }

        ElementInsertionInfo insert_point_set(
            const PointSet2D& points, const uuid& id )
        {
            for( index_t vertex = 0; vertex < points.nb_vertices(); vertex++ )
            {
                check_inside( points.point( vertex ), id, vertex );
            }
            ElementInsertionInfo info;
            info.vertices.reserve( points.nb_vertices() );
            for( index_t vertex = 0; vertex < points.nb_vertices(); vertex++ )
            {
                const auto landed = insert_point( points.point( vertex ), info );
                records_.add_macro_vertex_info( { id, vertex }, landed );
                info.vertices.push_back( landed );
            }
            return info;
        }

        ElementInsertionInfo insert_curve(
            const EdgedCurve2D& curve, const uuid& id )
        {
            for( index_t edge = 0; edge < curve.nb_edges(); edge++ )
            {
                for( const auto vertex : curve.edge_vertices( edge ) )
                {
                    TESSARK_EXCEPTION( vertex < curve.nb_vertices(),
                        "[BackgroundSurfaceInserter::insert_curve] Edge ", edge,
                        " of curve ", id.string(), " has no vertex at one end" );
                    check_inside( curve.point( vertex ), id, vertex );
                }
            }
            ElementInsertionInfo info;
            info.vertices.assign( curve.nb_vertices(), NO_ID );
            info.chains.resize( curve.nb_edges() );
            for( index_t edge = 0; edge < curve.nb_edges(); edge++ )
            {
                std::array< index_t, 2 > ends;
                for( local_index_t end = 0; end < 2; end++ )
                {
                    const auto vertex = curve.edge_vertices( edge )[end];
                    if( info.vertices[vertex] == NO_ID )
                    {
                        info.vertices[vertex] =
                            insert_point( curve.point( vertex ), info );
                    }
                    ends[end] = info.vertices[vertex];
                    records_.add_macro_vertex_info( { id, vertex }, ends[end] );
                }
                if( ends[0] != ends[1] )
                {
                    info.chains[edge] =
                        insert_segment( ends[0], ends[1], { id, edge }, info );
                }
            }
            return info;
        }

    private:
        void check_inside(
            const Point2D& point, const uuid& id, index_t vertex ) const
        {
            TESSARK_EXCEPTION( locator_.locate( point ).kind
                                   != detail::PointLocation::KIND::outside,
                "[BackgroundSurfaceInserter] Point ", point.string(),
                " (vertex ", vertex, " of ", id.string(),
                ") is outside the background surface" );
        }

        index_t insert_point( const Point2D& point, ElementInsertionInfo& info )
        {
            const auto location = locator_.locate( point );
            switch( location.kind )
            {
            case detail::PointLocation::KIND::vertex:
                return location.vertex;
            case detail::PointLocation::KIND::edge:
                for( const auto& split_point : { location.point, point } )
                {
                    if( modifier_.is_split_edge_valid( location.edge, split_point ) )
                    {
                        const auto vertex =
                            modifier_.split_edge( location.edge, split_point ).vertex;
                        info.created_vertices.push_back( vertex );
                        return vertex;
                    }
                }
                throw TessarkException{ "[BackgroundSurfaceInserter] Point ",
                    point.string(), " cannot split edge ", location.edge.string(),
                    " it lies on (degenerate or fixed edge)" };
            case detail::PointLocation::KIND::triangle:
            {
                const auto vertex = modifier_.split_triangle( location.triangle, point );
                info.created_vertices.push_back( vertex );
                return vertex;
            }
            case detail::PointLocation::KIND::outside:
                break;
            }
            throw TessarkException{ "[BackgroundSurfaceInserter] Point ",
                point.string(), " is outside the background surface" };
        }

        [[nodiscard]] bool joined( index_t vertex0, index_t vertex1 ) const
        {
            return surface_.polygon_edge_from_vertices( vertex0, vertex1 )
                       .has_value()
                   || surface_.polygon_edge_from_vertices( vertex1, vertex0 )
                          .has_value();
        }

        // The first vertex ahead of `from` on the segment to `to` that lies
        // closer than the tolerance to the segment and is a neighbour.
        [[nodiscard]] index_t vertex_ahead( index_t from, index_t to ) const
        {
            const auto& start = surface_.point( from );
            const Vector2D direction{ start, surface_.point( to ) };
            const auto length2 = direction.length2();
            index_t best{ NO_ID };
            double best_parameter{ 1 };
            for( const auto neighbour : surface_.vertices_around_vertex( from ) )
            {
                const Vector2D offset{ start, surface_.point( neighbour ) };
                const auto parameter = direction.dot( offset ) / length2;
                if( parameter <= 0 || parameter >= best_parameter )
                {
                    continue;
                }
                const auto cross = direction.value( 0 ) * offset.value( 1 )
                                   - direction.value( 1 ) * offset.value( 0 );
                if( cross * cross < GLOBAL_EPSILON * GLOBAL_EPSILON * length2 )
                {
                    best = neighbour;
                    best_parameter = parameter;
                }
            }
            return best;
        }

        // One step of the chain from `from` towards `to`: the next vertex,
        // created by splitting the crossed edge when no vertex lies ahead.
        index_t next_chain_vertex(
            index_t from, index_t to, const MeshEdge& record, ElementInsertionInfo& info )
        {
            if( joined( from, to ) )
            {
                return to;
            }
            if( const auto ahead = vertex_ahead( from, to ); ahead != NO_ID )
            {
                return ahead;
            }
            const auto& start = surface_.point( from );
            const auto& target = surface_.point( to );
            for( const auto& corner : surface_.polygons_around_vertex( from ) )
            {
                const auto next = surface_.polygon_vertex(
                    surface_.next_polygon_vertex( corner ) );
                const auto previous = surface_.polygon_vertex(
                    surface_.previous_polygon_vertex( corner ) );
                const auto& p_next = surface_.point( next );
                const auto& p_previous = surface_.point( previous );
                if( orientation_2d( start, p_next, target ) == SIDE::negative
                    || orientation_2d( start, p_previous, target )
                           != SIDE::negative )
                {
                    continue;
                }
                const PolygonEdge crossed{ surface_.next_polygon_vertex( corner ) };
                TESSARK_DATA_EXCEPTION( !surface_.is_edge_on_border( crossed ),
                    "[BackgroundSurfaceInserter] Edge ", record.edge, " of ",
                    record.mesh_id.string(),
                    " leaves the background surface across the border edge "
                    "between vertices ",
                    next, " and ", previous );
                const Vector2D direction{ start, target };
                const Vector2D side{ p_next, p_previous };
                const Vector2D offset{ p_next, start };
                const auto denominator = side.value( 0 ) * direction.value( 1 )
                                         - side.value( 1 ) * direction.value( 0 );
                const auto numerator = offset.value( 0 ) * direction.value( 1 )
                                       - offset.value( 1 ) * direction.value( 0 );
                const auto parameter =
                    denominator == 0 ? 0.5
                                     : std::clamp( numerator / denominator, 0., 1. );
                const auto crossing = p_next + side * parameter;
                TESSARK_DATA_EXCEPTION( modifier_.is_split_edge_valid( crossed, crossing ),
                    "[BackgroundSurfaceInserter] Edge ", record.edge, " of ",
                    record.mesh_id.string(), " cannot split the edge between vertices ",
                    next, " and ", previous, " at ", crossing.string(),
                    " (degenerate or fixed edge)" );
                const auto vertex = modifier_.split_edge( crossed, crossing ).vertex;
                info.created_vertices.push_back( vertex );
                return vertex;
            }
            throw TessarkDataException{ "[BackgroundSurfaceInserter] Edge ",
                record.edge, " of ", record.mesh_id.string(),
                " leaves the background surface at vertex ", from };
        }

        std::vector< index_t > insert_segment( index_t from,
            index_t to,
            const MeshEdge& record,
            ElementInsertionInfo& info )
        {
            std::vector< index_t > chain;
            // Each step passes a vertex or an edge of the triangulation met
            // by the segment, so the edges it had bound the steps.
            const auto max_steps = surface_.edges().nb_edges() + 2;
            auto current = from;
            while( current != to )
            {
                TESSARK_DATA_EXCEPTION( chain.size() <= max_steps,
                    "[BackgroundSurfaceInserter] Edge ", record.edge, " of ",
                    record.mesh_id.string(), " did not reach vertex ", to,
                    " from vertex ", from );
                const auto next = next_chain_vertex( current, to, record, info );
                const auto edge = surface_.edges().edge_from_vertices( { current, next } );
                TESSARK_DATA_EXCEPTION( edge.has_value(),
                    "[BackgroundSurfaceInserter] No edge between vertices ",
                    current, " and ", next );
                records_.add_macro_edge_info( record, { *edge } );
                chain.push_back( *edge );
                current = next;
            }
            return chain;
        }

        BackgroundSurfaceModifier& modifier_;
        BackgroundSurfaceBuilder& records_;
        const TriangulatedSurface2D& surface_;
        detail::PointLocator locator_;
    };

    BackgroundSurfaceInserter::BackgroundSurfaceInserter(
        std::pair< BackgroundSurface&, BackgroundSurfaceModifier& > background,
        BackgroundSurfaceBuilder& builder )
        : impl_( std::make_unique< Impl >( background, builder ) )
    {
    }

    BackgroundSurfaceInserter::~BackgroundSurfaceInserter() = default;

    ElementInsertionInfo BackgroundSurfaceInserter::insert_point_set(
        const PointSet2D& points, const uuid& id )
    {
        return impl_->insert_point_set( points, id );
    }

    ElementInsertionInfo BackgroundSurfaceInserter::insert_curve(
        const EdgedCurve2D& curve, const uuid& id )
    {
        return impl_->insert_curve( curve, id );
    }
} // namespace brevane::internal
