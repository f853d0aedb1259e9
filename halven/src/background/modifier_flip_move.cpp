#include "background/modifier_impl.h"
#include "background/record_lists.h"

namespace brevane::internal
{
    bool BackgroundSurfaceModifier::Impl::is_flip_valid(
        const PolygonEdge& edge ) const
    {
        if( edge.polygon_id >= surface.nb_polygons() || edge.edge_id >= 3
            || polygon_deleted( edge.polygon_id ) )
        {
            return false;
        }
        const auto other = adjacent( edge.polygon_id, edge.edge_id );
        if( other == NO_ID
            || !background.macro_edges( surface.polygon_edge( edge ) ).empty() )
        {
            return false;
        }
        const auto side = corner( edge.polygon_id, edge.edge_id );
        const auto d = corner_of( other, side.next ).previous;
        const auto c = side.previous;
        if( surface.edges().edge_from_vertices( { c, d } ).has_value()
            && is_edge_active( *surface.edges().edge_from_vertices( { c, d } ) ) )
        {
            return false;
        }
        const auto& pa = surface.point( side.vertex );
        const auto& pb = surface.point( side.next );
        const auto& pc = surface.point( c );
        const auto& pd = surface.point( d );
        return is_positive( pa, pd, pc ) && is_positive( pb, pc, pd );
    }

    PolygonEdge BackgroundSurfaceModifier::Impl::flip( const PolygonEdge& edge )
    {
        TESSARK_EXCEPTION( is_flip_valid( edge ),
            "[BackgroundSurfaceModifier::flip_edge] Flipping ", edge.string(),
            " is not valid" );
        const auto triangle = edge.polygon_id;
        const auto side = corner( triangle, edge.edge_id );
        const auto a = side.vertex;
        const auto b = side.next;
        const auto c = side.previous;
        const auto other = adjacent( triangle, edge.edge_id );
        const auto opposite = corner_of( other, b );
        const auto d = opposite.previous;
        const auto next_edge =
            static_cast< local_index_t >( ( edge.edge_id + 1 ) % 3 );
        const auto other_next =
            static_cast< local_index_t >( ( opposite.local + 1 ) % 3 );
        const auto beyond_bc = adjacent( triangle, next_edge );
        const auto beyond_ad = adjacent( other, other_next );
        const auto old_edge = surface.polygon_edge( edge );
        MacroElements both{ background.macro_elements( triangle ) };
        detail::add_records( both, background.macro_elements( other ) );

        // (a, b, c) becomes (a, d, c) and (b, a, d) becomes (b, c, d).
        builder.set_polygon_vertex( { triangle, next_edge }, d );
        builder.set_polygon_vertex( { other, other_next }, c );
        builder.set_polygon_adjacent( edge, beyond_ad );
        set_adjacent_across( beyond_ad, a, d, triangle );
        builder.set_polygon_adjacent( { other, opposite.local }, beyond_bc );
        set_adjacent_across( beyond_bc, b, c, other );
        link_edges( { triangle, next_edge }, { other, other_next } );
        add_element_records( triangle, both );
        add_element_records( other, both );
        clear_edge_records( old_edge );
        clear_edge_records( unique_edge( c, d ) );
        relink( a, triangle );
        relink( b, other );
        relink( c, triangle );
        relink( d, triangle );
        return { triangle, next_edge };
    }

    bool BackgroundSurfaceModifier::Impl::is_move_valid(
        index_t vertex, const Point2D& point ) const
    {
        if( vertex >= surface.nb_vertices() || vertex_deleted( vertex )
            || surface.is_vertex_isolated( vertex )
            || surface.is_vertex_on_border( vertex )
            || !background.macro_vertices( vertex ).empty() || has_chain( vertex ) )
        {
            return false;
        }
        for( const auto& polygon_vertex : surface.polygons_around_vertex( vertex ) )
        {
            const auto seen =
                corner( polygon_vertex.polygon_id, polygon_vertex.vertex_id );
            if( !is_positive( point, surface.point( seen.next ),
                    surface.point( seen.previous ) ) )
            {
                return false;
            }
        }
        return true;
    }

    void BackgroundSurfaceModifier::Impl::move(
        index_t vertex, const Point2D& point )
    {
        TESSARK_EXCEPTION( is_move_valid( vertex, point ),
            "[BackgroundSurfaceModifier::move_vertex] Moving vertex ", vertex,
            " to ", point.string(), " is not valid" );
        builder.set_point( vertex, point );
    }
} // namespace brevane::internal
