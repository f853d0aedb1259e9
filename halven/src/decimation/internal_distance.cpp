#include <halven/decimation/internal_distance.h>

#include <algorithm>
#include <cmath>

#include <tessark/geometry/mensuration.h>

namespace brevane
{
    template < index_t D >
    InternalDistance minimal_triangle_internal_distance(
        const Triangle< D >& triangle )
    {
        const auto& [p0, p1, p2] = triangle.vertices();
        const auto longest2 = std::max(
            { Vector< D >{ p0, p1 }.length2(), Vector< D >{ p1, p2 }.length2(),
                Vector< D >{ p2, p0 }.length2() } );
        if( longest2 == 0 )
        {
            return {};
        }
        return { 2 * triangle_area( triangle ) / std::sqrt( longest2 ) };
    }

    template InternalDistance minimal_triangle_internal_distance(
        const Triangle< 2 >& );
    template InternalDistance minimal_triangle_internal_distance(
        const Triangle< 3 >& );
} // namespace brevane
