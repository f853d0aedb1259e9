#include <tessark/search/ray_tracing.h>

#include <algorithm>
#include <cmath>

#include <tessark/geometry/intersection.h>
#include <tessark/geometry/intersection_detection.h>
#include <tessark/mesh/surface_mesh.h>

namespace
{
    using namespace brevane;

    double cross_2d(
        const Point2D& from, const Point2D& to, const Point2D& point )
    {
        return ( to.value( 0 ) - from.value( 0 ) )
                   * ( point.value( 1 ) - from.value( 1 ) )
               - ( to.value( 1 ) - from.value( 1 ) )
                     * ( point.value( 0 ) - from.value( 0 ) );
    }

    // For a segment lying in the plane of a triangle it meets (decided
    // exactly beforehand): the point of their overlap nearest to the origin.
    // The overlap is the parameter range of the segment left after clipping
    // by the three edges, computed in the plane of the two axes along which
    // the triangle is the widest.
    Point3D coplanar_nearest_point( const Segment3D& segment,
        const Triangle3D& triangle, const Point3D& origin )
    {
        const auto normal = triangle.normal_direction();
        local_index_t dropped{ 0 };
        for( local_index_t axis = 1; axis < 3; axis++ )
        {
            if( std::abs( normal.value( axis ) )
                > std::abs( normal.value( dropped ) ) )
            {
                dropped = axis;
            }
        }
        const auto& start = segment.vertices()[0];
        const auto start2d = start.project_point( dropped );
        const auto end2d = segment.vertices()[1].project_point( dropped );
        std::array< Point2D, 3 > corners;
        for( local_index_t vertex = 0; vertex < 3; vertex++ )
        {
            corners[vertex] =
                triangle.vertices()[vertex].project_point( dropped );
        }
        const double orientation =
            cross_2d( corners[0], corners[1], corners[2] ) > 0 ? 1. : -1.;
        double enter{ 0 };
        double leave{ 1 };
        for( local_index_t edge = 0; edge < 3; edge++ )
        {
            const auto& from = corners[edge];
            const auto& to = corners[( edge + 1 ) % 3];
            const auto at_start = orientation * cross_2d( from, to, start2d );
            const auto slope = orientation
                               * ( cross_2d( from, to, end2d )
                                   - cross_2d( from, to, start2d ) );
            if( slope > 0 )
            {
                enter = std::max( enter, -at_start / slope );
            }
            else if( slope < 0 )
            {
                leave = std::min( leave, -at_start / slope );
            }
        }
        if( enter > leave )
        {
            // The exact decision found an overlap that rounding lost: it is
            // no wider than the rounding error.
            enter = leave = std::clamp( ( enter + leave ) / 2, 0., 1. );
        }
        const auto direction = segment.direction();
        const auto length2 = direction.length2();
        double parameter{ enter };
        if( length2 > 0 )
        {
            parameter = std::clamp(
                Vector3D{ start, origin }.dot( direction ) / length2, enter,
                leave );
        }
        return start + direction * parameter;
    }
} // namespace

namespace brevane
{
    RayTracing3D::RayTracing3D( const SurfaceMesh< 3 >& mesh,
        const Point3D& origin, const Segment3D& segment )
        : mesh_( mesh ), origin_( origin ), segment_( segment )
    {
    }

    std::optional< Point3D > RayTracing3D::triangle_hit(
        const Triangle3D& triangle ) const
    {
        const auto intersection =
            segment_triangle_intersection( segment_, triangle );
        if( intersection.has_intersection() )
        {
            return intersection.result;
        }
        if( intersection.type == INTERSECTION_TYPE::parallel
            && segment_triangle_intersection_detection( segment_, triangle )
                       .first
                   == POSITION::parallel )
        {
            return coplanar_nearest_point( segment_, triangle, origin_ );
        }
        return std::nullopt;
    }

    bool RayTracing3D::operator()( index_t polygon )
    {
        TESSARK_EXCEPTION( polygon < mesh_.nb_polygons(),
            "[RayTracing3D] Polygon ", polygon,
            " does not exist (the mesh has ", mesh_.nb_polygons(),
            " polygons)" );
        // Vertex by vertex: no copy of the polygon's vertex list.
        const auto nb_vertices = mesh_.nb_polygon_vertices( polygon );
        const auto& apex = mesh_.point( mesh_.polygon_vertex( { polygon, 0 } ) );
        std::optional< PolygonDistance > nearest;
        for( local_index_t fan = 1; fan + 1 < nb_vertices; fan++ )
        {
            const auto hit = triangle_hit( Triangle3D{ apex,
                mesh_.point( mesh_.polygon_vertex( { polygon, fan } ) ),
                mesh_.point(
                    mesh_.polygon_vertex( { polygon,
                        static_cast< local_index_t >( fan + 1 ) } ) ) } );
            if( !hit )
            {
                continue;
            }
            const auto distance = Vector3D{ origin_, *hit }.length();
            if( !nearest || distance < nearest->distance )
            {
                nearest = PolygonDistance{ polygon, distance, *hit };
            }
        }
        if( nearest )
        {
            intersections_.push_back( *nearest );
        }
        return false;
    }

    std::optional< RayTracing3D::PolygonDistance >
    RayTracing3D::closest_polygon() const
    {
        std::optional< PolygonDistance > closest;
        for( const auto& intersection : intersections_ )
        {
            if( !closest || intersection.distance < closest->distance
                || ( intersection.distance == closest->distance
                     && intersection.polygon < closest->polygon ) )
            {
                closest = intersection;
            }
        }
        return closest;
    }
} // namespace brevane
