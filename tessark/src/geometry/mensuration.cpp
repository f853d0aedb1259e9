#include <tessark/geometry/mensuration.h>

#include <cmath>

namespace brevane
{
    double triangle_signed_area( const Triangle2D& triangle )
    {
        const auto& [p0, p1, p2] = triangle.vertices();
        const Vector2D edge1{ p0, p1 };
        const Vector2D edge2{ p0, p2 };
        return 0.5
               * ( edge1.value( 0 ) * edge2.value( 1 )
                   - edge1.value( 1 ) * edge2.value( 0 ) );
    }

    template < index_t D >
    double triangle_area( const Triangle< D >& triangle )
    {
        if constexpr( D == 2 )
        {
            return std::abs( triangle_signed_area( triangle ) );
        }
        else
        {
            return 0.5 * triangle.normal_direction().length();
        }
    }

    template double triangle_area( const Triangle< 2 >& );
    template double triangle_area( const Triangle< 3 >& );
} // namespace brevane
