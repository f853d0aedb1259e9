#include <algorithm>

#include "background/modifier_impl.h"

namespace brevane::internal
{
    namespace
    {
        // Position of the point along the edge, from 0 at its start to 1 at
        // its end, by projection.
        double edge_parameter(
            const Point2D& start, const Point2D& end, const Point2D& point )
        {
            const Vector2D direction{ start, end };
            const auto length2 = direction.length2();
            if( length2 == 0 )
            {
                return 0.5;
            }
            return std::clamp(
                direction.dot( Vector2D{ start, point } ) / length2, 0., 1. );
        }

        // Twice the signed area of the triangle.
        double signed_area2(
            const Point2D& p0, const Point2D& p1, const Point2D& p2 )
        {
            const Vector2D u{ p0, p1 };
            const Vector2D v{ p0, p2 };
            return u.value( 0 ) * v.value( 1 ) - u.value( 1 ) * v.value( 0 );
        }
    } // namespace

    bool BackgroundSurfaceModifier::Impl::is_split_edge_valid(
        const PolygonEdge& edge, const Point2D& point ) const
    {
        if( edge.polygon_id >= surface.nb_polygons() || edge.edge_id >= 3
            || polygon_deleted( edge.polygon_id ) )
        {
            return false;
        }
        const auto side = corner( edge.polygon_id, edge.edge_id );
        const auto& a = surface.point( side.vertex );
        const auto& b = surface.point( side.next );
        const auto& c = surface.point( side.previous );
        if( !is_positive( a, point, c ) || !is_positive( point, b, c ) )
        {
            return false;
        }
        const auto other = adjacent( edge.polygon_id, edge.edge_id );
        if( other == NO_ID )
        {
            return !constraints.border_edges_fixed();
        }
        const auto opposite = corner_of( other, side.next );
        const auto& d = surface.point( opposite.previous );
        return is_positive( b, point, d ) && is_positive( point, a, d );
    }

    SplitEdgeInfo BackgroundSurfaceModifier::Impl::split_edge(
        const PolygonEdge& edge, const Point2D& point )
    {
        TESSARK_EXCEPTION( is_split_edge_valid( edge, point ),
            "[BackgroundSurfaceModifier::split_edge] Splitting ", edge.string(),
            " at ", point.string(),
            " would not leave valid triangles (or the edge is deleted or "
            "fixed)" );
        const auto triangle = edge.polygon_id;
        const auto side = corner( triangle, edge.edge_id );
        const auto a = side.vertex;
        const auto b = side.next;
        const auto c = side.previous;
        const auto next_edge =
            static_cast< local_index_t >( ( edge.edge_id + 1 ) % 3 );
        const auto old_edge = surface.polygon_edge( edge );
        const auto other = adjacent( triangle, edge.edge_id );
        const auto beyond_bc = adjacent( triangle, next_edge );
        const auto lambda =
            edge_parameter( surface.point( a ), surface.point( b ), point );
        AttributeLinearInterpolation interpolation;
        interpolation.indices = { a, b };
        interpolation.lambdas = { 1 - lambda, lambda };
        const auto vertex = create_vertex( point, interpolation );

        SplitEdgeInfo info;
        info.vertex = vertex;
        // triangle (a, b, c) becomes (a, vertex, c), the new one is
        // (vertex, b, c).
        builder.set_polygon_vertex( { triangle, next_edge }, vertex );
        const auto first = create_triangle( { vertex, b, c }, triangle );
        info.new_polygons.push_back( first );
        link_edges( { triangle, next_edge }, { first, 2 } );
        builder.set_polygon_adjacent( { first, 1 }, beyond_bc );
        set_adjacent_across( beyond_bc, b, c, first );
        if( other == NO_ID )
        {
            builder.set_polygon_adjacent( edge, NO_ID );
            builder.set_polygon_adjacent( { first, 0 }, NO_ID );
        }
        else
        {
            // other (b, a, d) becomes (b, vertex, d), the new one is
            // (vertex, a, d).
            const auto opposite = corner_of( other, b );
            const auto d = opposite.previous;
            const auto other_next =
                static_cast< local_index_t >( ( opposite.local + 1 ) % 3 );
            const auto beyond_ad = adjacent( other, other_next );
            builder.set_polygon_vertex( { other, other_next }, vertex );
            const auto second = create_triangle( { vertex, a, d }, other );
            info.new_polygons.push_back( second );
            link_edges( { other, other_next }, { second, 2 } );
            builder.set_polygon_adjacent( { second, 1 }, beyond_ad );
            set_adjacent_across( beyond_ad, a, d, second );
            link_edges( edge, { second, 0 } );
            link_edges( { first, 0 }, { other, opposite.local } );
            relink( d, other );
        }

        const auto old_records = edge_records( old_edge );
        for( const auto end : { a, b } )
        {
            const auto half = unique_edge( end, vertex );
            surface.edges().edge_attribute_manager().assign_attribute_value(
                old_edge, half );
            add_edge_records( half, old_records );
        }
        clear_edge_records( old_edge );
        relink( a, triangle );
        relink( b, first );
        relink( c, triangle );
        relink( vertex, triangle );
        return info;
    }

    bool BackgroundSurfaceModifier::Impl::is_split_triangle_valid(
        index_t triangle, const Point2D& point ) const
    {
        if( triangle >= surface.nb_polygons() || polygon_deleted( triangle ) )
        {
            return false;
        }
        const auto vertices = surface.polygon_vertices( triangle );
        for( local_index_t local = 0; local < 3; local++ )
        {
            if( !is_positive( surface.point( vertices[local] ),
                    surface.point( vertices[( local + 1 ) % 3] ), point ) )
            {
                return false;
            }
        }
        return true;
    }

    index_t BackgroundSurfaceModifier::Impl::split_triangle(
        index_t triangle, const Point2D& point )
    {
        TESSARK_EXCEPTION( is_split_triangle_valid( triangle, point ),
            "[BackgroundSurfaceModifier::split_triangle] Point ", point.string(),
            " is not strictly inside live triangle ", triangle );
        const auto vertices = surface.polygon_vertices( triangle );
        const auto& p0 = surface.point( vertices[0] );
        const auto& p1 = surface.point( vertices[1] );
        const auto& p2 = surface.point( vertices[2] );
        const auto area = signed_area2( p0, p1, p2 );
        AttributeLinearInterpolation interpolation;
        interpolation.indices = { vertices[0], vertices[1], vertices[2] };
        interpolation.lambdas = { signed_area2( point, p1, p2 ) / area,
            signed_area2( p0, point, p2 ) / area,
            signed_area2( p0, p1, point ) / area };
        const auto beyond1 = adjacent( triangle, 1 );
        const auto beyond2 = adjacent( triangle, 2 );
        const auto vertex = create_vertex( point, interpolation );
        // (v0, v1, v2) becomes (v0, v1, vertex), (v1, v2, vertex) and
        // (v2, v0, vertex).
        builder.set_polygon_vertex( { triangle, 2 }, vertex );
        const auto first =
            create_triangle( { vertices[1], vertices[2], vertex }, triangle );
        const auto second =
            create_triangle( { vertices[2], vertices[0], vertex }, triangle );
        link_edges( { triangle, 1 }, { first, 2 } );
        link_edges( { triangle, 2 }, { second, 1 } );
        link_edges( { first, 1 }, { second, 2 } );
        builder.set_polygon_adjacent( { first, 0 }, beyond1 );
        set_adjacent_across( beyond1, vertices[1], vertices[2], first );
        builder.set_polygon_adjacent( { second, 0 }, beyond2 );
        set_adjacent_across( beyond2, vertices[2], vertices[0], second );
        relink( vertices[0], triangle );
        relink( vertices[1], triangle );
        relink( vertices[2], first );
        relink( vertex, triangle );
        return vertex;
    }
} // namespace brevane::internal
