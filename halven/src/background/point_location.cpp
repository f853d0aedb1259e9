#include "background/point_location.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/predicates.h>
#include <tessark/search/mesh_aabb.h>

namespace brevane::internal::detail
{
    namespace
    {
        double squared_distance( const Point2D& p0, const Point2D& p1 )
        {
            return Vector2D{ p0, p1 }.length2();
        }

        // The closest point of the segment to the point.
        Point2D projection( const Point2D& start, const Point2D& end, const Point2D& point )
        {
            const Vector2D direction{ start, end };
            const auto length2 = direction.length2();
            if( length2 == 0 )
            {
                return start;
            }
            const auto parameter = std::clamp(
                direction.dot( Vector2D{ start, point } ) / length2, 0., 1. );
            return start + direction * parameter;
        }

        BoundingBox2D grown_box( const Triangle2D& triangle )
        {
            auto box = triangle.bounding_box();
            box.extends( GLOBAL_EPSILON );
            return box;
        }
    } // namespace

    PointLocator::PointLocator(
        const TriangulatedSurface2D& surface, IsDeleted is_deleted )
        : surface_( surface ),
          is_deleted_( std::move( is_deleted ) ),
          tree_( create_aabb_tree( surface ) )
    {
    }

    bool PointLocator::contains( index_t triangle, const Point2D& point ) const
    {
        const auto vertices = surface_.polygon_vertices( triangle );
        for( local_index_t local = 0; local < 3; local++ )
        {
            if( orientation_2d( surface_.point( vertices[local] ),
                    surface_.point( vertices[( local + 1 ) % 3] ), point )
                == SIDE::negative )
            {
                return false;
            }
        }
        return true;
    }

    PointLocator::WalkEnd PointLocator::walk(
        index_t start, const Point2D& point ) const
    {
        const auto origin = surface_.polygon_barycenter( start );
        auto current = start;
        auto previous = NO_ID;
        // A straight walk enters each triangle at most once but for turns
        // around a vertex the ray runs through exactly; the bound only stops
        // a walk on broken adjacency.
        for( index_t step = 0; step <= surface_.nb_polygons(); step++ )
        {
            if( contains( current, point ) )
            {
                return { current, true };
            }
            const auto vertices = surface_.polygon_vertices( current );
            local_index_t crossed{ NO_LID };
            local_index_t fallback{ NO_LID };
            for( local_index_t local = 0; local < 3; local++ )
            {
                const auto& a = surface_.point( vertices[local] );
                const auto& b = surface_.point( vertices[( local + 1 ) % 3] );
                if( orientation_2d( a, b, point ) != SIDE::negative )
                {
                    continue;
                }
                const auto adjacent =
                    surface_.polygon_adjacent( { current, local } ).value_or( NO_ID );
                if( fallback == NO_LID || adjacent != previous )
                {
                    fallback = local;
                }
                if( orientation_2d( origin, point, a ) == SIDE::positive
                    || orientation_2d( origin, point, b ) == SIDE::negative )
                {
                    continue;
                }
                if( crossed == NO_LID || adjacent != previous )
                {
                    crossed = local;
                }
            }
            const auto exit = crossed != NO_LID ? crossed : fallback;
            const auto next =
                surface_.polygon_adjacent( { current, exit } ).value_or( NO_ID );
            if( next == NO_ID || is_deleted_( next ) )
            {
                return { current, false };
            }
            previous = current;
            current = next;
        }
        return { current, false };
    }

    std::vector< index_t > PointLocator::neighbourhood(
        index_t start, const Point2D& point ) const
    {
        std::vector< index_t > result;
        std::vector< index_t > queue{ start };
        absl::flat_hash_set< index_t > visited{ start };
        while( !queue.empty() )
        {
            const auto triangle = queue.back();
            queue.pop_back();
            if( !grown_box( surface_.triangle( triangle ) ).contains( point ) )
            {
                continue;
            }
            result.push_back( triangle );
            for( local_index_t local = 0; local < 3; local++ )
            {
                const auto adjacent = surface_.polygon_adjacent( { triangle, local } );
                if( adjacent && !is_deleted_( *adjacent )
                    && visited.insert( *adjacent ).second )
                {
                    queue.push_back( *adjacent );
                }
            }
        }
        std::sort( result.begin(), result.end() );
        return result;
    }

    PointLocation PointLocator::classify( const std::vector< index_t >& near,
        const Point2D& point,
        index_t container ) const
    {
        PointLocation location;
        auto best = std::numeric_limits< double >::max();
        for( const auto triangle : near )
        {
            for( const auto vertex : surface_.polygon_vertices( triangle ) )
            {
                const auto distance2 = squared_distance( surface_.point( vertex ), point );
                if( distance2 < best )
                {
                    best = distance2;
                    location.vertex = vertex;
                }
            }
        }
        if( best < GLOBAL_EPSILON * GLOBAL_EPSILON )
        {
            location.kind = PointLocation::KIND::vertex;
            location.point = surface_.point( location.vertex );
            return location;
        }
        location.vertex = NO_ID;
        best = std::numeric_limits< double >::max();
        for( const auto triangle : near )
        {
            for( local_index_t local = 0; local < 3; local++ )
            {
                const PolygonEdge edge{ triangle, local };
                const auto vertices = surface_.polygon_edge_vertices( edge );
                const auto projected = projection( surface_.point( vertices[0] ),
                    surface_.point( vertices[1] ), point );
                const auto distance2 = squared_distance( projected, point );
                if( distance2 < best )
                {
                    best = distance2;
                    location.edge = edge;
                    location.point = projected;
                }
            }
        }
        if( best < GLOBAL_EPSILON * GLOBAL_EPSILON )
        {
            location.kind = PointLocation::KIND::edge;
            return location;
        }
        if( container != NO_ID )
        {
            const auto vertices = surface_.polygon_vertices( container );
            bool strictly_inside{ true };
            for( local_index_t local = 0; local < 3; local++ )
            {
                strictly_inside =
                    strictly_inside
                    && orientation_2d( surface_.point( vertices[local] ),
                           surface_.point( vertices[( local + 1 ) % 3] ), point )
                           == SIDE::positive;
            }
            // A point on the boundary of its triangle is on an edge: only
            // rounding of the projection can put it past the tolerance.
            location.kind = strictly_inside ? PointLocation::KIND::triangle
                                            : PointLocation::KIND::edge;
            if( strictly_inside )
            {
                location.triangle = container;
                location.point = point;
            }
            return location;
        }
        location.kind = PointLocation::KIND::outside;
        return location;
    }

    PointLocation PointLocator::locate( const Point2D& point ) const
    {
        BoundingBox2D box;
        box.add_point( point );
        box.extends( GLOBAL_EPSILON );
        std::vector< index_t > seeds;
        auto collect = [&seeds]( index_t triangle ) {
            seeds.push_back( triangle );
        };
        tree_.compute_bbox_element_bbox_intersections( box, collect );
        std::sort( seeds.begin(), seeds.end() );
        std::vector< index_t > exits;
        for( const auto seed : seeds )
        {
            if( seed >= surface_.nb_polygons() || is_deleted_( seed ) )
            {
                continue;
            }
            const auto end = walk( seed, point );
            if( end.contains )
            {
                return classify( neighbourhood( end.triangle, point ), point,
                    end.triangle );
            }
            exits.push_back( end.triangle );
        }
        for( const auto exit : exits )
        {
            const auto location =
                classify( neighbourhood( exit, point ), point, NO_ID );
            if( location.kind != PointLocation::KIND::outside )
            {
                return location;
            }
        }
        // Only reached for points outside the triangulation, or when the
        // surface was changed by other operations than splits since the
        // tree was built: a scan settles it.
        std::vector< index_t > near;
        for( index_t triangle = 0; triangle < surface_.nb_polygons(); triangle++ )
        {
            if( is_deleted_( triangle ) )
            {
                continue;
            }
            if( contains( triangle, point ) )
            {
                return classify(
                    neighbourhood( triangle, point ), point, triangle );
            }
            if( grown_box( surface_.triangle( triangle ) ).contains( point ) )
            {
                near.push_back( triangle );
            }
        }
        return classify( near, point, NO_ID );
    }
} // namespace brevane::internal::detail
