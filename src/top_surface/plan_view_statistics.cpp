#include "top_surface/plan_view_statistics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brevane::internal
{
    namespace
    {
        // The angle at the first point, between the directions to the two
        // others, in degrees; 0 when a side has no length.
        double angle_at( const Point2D& apex, const Point2D& first,
            const Point2D& second )
        {
            const Vector2D u{ apex, first };
            const Vector2D v{ apex, second };
            const auto lengths = u.length() * v.length();
            if( lengths == 0 )
            {
                return 0;
            }
            const auto cosine = std::clamp( u.dot( v ) / lengths, -1., 1. );
            return std::acos( cosine ) * 180 / std::numbers::pi;
        }
    } // namespace

    PlanViewStatistics plan_view_statistics( const BackgroundSurface& background )
    {
        const auto& surface = background.surface();
        PlanViewStatistics statistics;
        statistics.nb_vertices = surface.nb_vertices();
        statistics.nb_triangles = surface.nb_polygons();
        for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            if( !background.macro_edges( edge ).empty() )
            {
                statistics.nb_trace_edges++;
            }
        }
        double minimal{ 180 };
        for( index_t triangle = 0; triangle < surface.nb_polygons(); triangle++ )
        {
            const auto corners = surface.triangle( triangle );
            const auto& points = corners.vertices();
            for( local_index_t corner = 0; corner < 3; corner++ )
            {
                minimal = std::min( minimal,
                    angle_at( points[corner], points[( corner + 1 ) % 3],
                        points[( corner + 2 ) % 3] ) );
            }
        }
        statistics.minimal_angle =
            surface.nb_polygons() == 0 ? 0 : minimal;
        return statistics;
    }
} // namespace brevane::internal
