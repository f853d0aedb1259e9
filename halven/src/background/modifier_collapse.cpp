#include <algorithm>

#include <absl/container/flat_hash_set.h>

#include "background/modifier_impl.h"
#include "background/record_lists.h"

namespace brevane::internal
{
    namespace
    {
        template < typename Container >
        bool contains( const Container& container, index_t value )
        {
            return std::find( container.begin(), container.end(), value )
                   != container.end();
        }

        // The triangles of an edge from -> to, seen from `from`: `forward`
        // runs from -> to (its next vertex is `to`), `backward` runs
        // to -> from.
        struct CollapseTriangles
        {
            Corner forward;
            Corner backward;
        };
    } // namespace

    bool BackgroundSurfaceModifier::Impl::is_collapse_valid(
        index_t from, index_t to ) const
    {
        const auto nb_vertices = surface.nb_vertices();
        if( from == to || from >= nb_vertices || to >= nb_vertices
            || vertex_deleted( from ) || vertex_deleted( to )
            || surface.is_vertex_isolated( from )
            || surface.is_vertex_on_border( from )
            || !background.macro_vertices( from ).empty() )
        {
            return false;
        }
        const auto fan = surface.polygons_around_vertex( from );
        CollapseTriangles triangles;
        for( const auto& polygon_vertex : fan )
        {
            const auto seen =
                corner( polygon_vertex.polygon_id, polygon_vertex.vertex_id );
            if( seen.next == to )
            {
                triangles.forward = seen;
            }
            if( seen.previous == to )
            {
                triangles.backward = seen;
            }
        }
        if( triangles.forward.polygon == NO_ID
            || triangles.backward.polygon == NO_ID )
        {
            return false;
        }
        const auto c = triangles.forward.previous;
        const auto d = triangles.backward.next;
        const auto from_neighbours = surface.vertices_around_vertex( from );
        const auto to_neighbours = surface.vertices_around_vertex( to );
        for( const auto neighbour : from_neighbours )
        {
            if( neighbour != c && neighbour != d && neighbour != to
                && contains( to_neighbours, neighbour ) )
            {
                return false;
            }
        }
        const auto& target = surface.point( to );
        for( const auto& polygon_vertex : fan )
        {
            if( polygon_vertex.polygon_id == triangles.forward.polygon
                || polygon_vertex.polygon_id == triangles.backward.polygon )
            {
                continue;
            }
            const auto seen =
                corner( polygon_vertex.polygon_id, polygon_vertex.vertex_id );
            if( !is_positive( target, surface.point( seen.next ),
                    surface.point( seen.previous ) ) )
            {
                return false;
            }
        }
        absl::InlinedVector< index_t, 4 > chain_edges;
        for( const auto neighbour : from_neighbours )
        {
            const auto edge = unique_edge( from, neighbour );
            if( !background.macro_edges( edge ).empty() )
            {
                chain_edges.push_back( edge );
            }
        }
        if( chain_edges.empty() )
        {
            return true;
        }
        if( chain_edges.size() != 2
            || !contains( chain_edges, unique_edge( from, to ) ) )
        {
            return false;
        }
        const auto meshes = [this]( index_t edge ) {
            absl::flat_hash_set< uuid > ids;
            for( const auto& record : background.macro_edges( edge ) )
            {
                ids.insert( record.mesh_id );
            }
            return ids;
        };
        return meshes( chain_edges[0] ) == meshes( chain_edges[1] );
    }

    void BackgroundSurfaceModifier::Impl::collapse( index_t from, index_t to )
    {
        TESSARK_EXCEPTION( is_collapse_valid( from, to ),
            "[BackgroundSurfaceModifier::collapse_edge] Collapsing vertex ",
            from, " into vertex ", to, " is not valid" );
        const auto fan = surface.polygons_around_vertex( from );
        CollapseTriangles triangles;
        MacroElements star_records;
        for( const auto& polygon_vertex : fan )
        {
            const auto seen =
                corner( polygon_vertex.polygon_id, polygon_vertex.vertex_id );
            if( seen.next == to )
            {
                triangles.forward = seen;
            }
            if( seen.previous == to )
            {
                triangles.backward = seen;
            }
            detail::add_records( star_records,
                background.macro_elements( polygon_vertex.polygon_id ) );
        }
        const auto& forward = triangles.forward;
        const auto& backward = triangles.backward;
        const auto c = forward.previous;
        const auto d = backward.next;
        // forward = (from, to, c), backward = (from, d, to).
        const auto beyond_to_c = adjacent(
            forward.polygon, static_cast< local_index_t >( ( forward.local + 1 ) % 3 ) );
        const auto beyond_c_from = adjacent(
            forward.polygon, static_cast< local_index_t >( ( forward.local + 2 ) % 3 ) );
        const auto beyond_from_d = adjacent( backward.polygon, backward.local );
        const auto beyond_d_to = adjacent(
            backward.polygon, static_cast< local_index_t >( ( backward.local + 1 ) % 3 ) );
        struct OldEdge
        {
            index_t neighbour;
            index_t edge;
        };
        absl::InlinedVector< OldEdge, 10 > old_edges;
        for( const auto neighbour : surface.vertices_around_vertex( from ) )
        {
            old_edges.push_back( { neighbour, unique_edge( from, neighbour ) } );
        }

        set_adjacent_across( beyond_to_c, to, c, beyond_c_from );
        set_adjacent_across( beyond_c_from, from, c, beyond_to_c );
        set_adjacent_across( beyond_from_d, from, d, beyond_d_to );
        set_adjacent_across( beyond_d_to, to, d, beyond_from_d );
        index_t kept_polygon{ NO_ID };
        for( const auto& polygon_vertex : fan )
        {
            if( polygon_vertex.polygon_id == forward.polygon
                || polygon_vertex.polygon_id == backward.polygon )
            {
                continue;
            }
            builder.set_polygon_vertex( polygon_vertex, to );
            add_element_records( polygon_vertex.polygon_id, star_records );
            kept_polygon = polygon_vertex.polygon_id;
        }

        auto& edge_attributes = surface.edges().edge_attribute_manager();
        for( const auto& old_edge : old_edges )
        {
            if( old_edge.neighbour != to )
            {
                const auto replacement = unique_edge( to, old_edge.neighbour );
                if( old_edge.neighbour != c && old_edge.neighbour != d )
                {
                    edge_attributes.assign_attribute_value(
                        old_edge.edge, replacement );
                }
                add_edge_records( replacement, edge_records( old_edge.edge ) );
            }
            clear_edge_records( old_edge.edge );
        }

        mark_polygon_deleted( forward.polygon );
        mark_polygon_deleted( backward.polygon );
        mark_vertex_deleted( from );
        builder.set_polygon_around_vertex( from, PolygonVertex{} );
        tracker_.merge( from, to );
        relink( to, kept_polygon );
        relink( c, beyond_c_from );
        relink( d, beyond_from_d );
    }
} // namespace brevane::internal
