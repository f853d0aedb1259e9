#include "top_surface/background_surface_quality_optimizer.h"

namespace brevane::internal
{
    BackgroundSurfaceQualityOptimizer::~BackgroundSurfaceQualityOptimizer() =
        default;

    bool BackgroundSurfaceQualityOptimizer::evaluate_triangle(
        const TriangulatedSurface< 2 >& surface, index_t triangle )
    {
        const std::array< InternalDistance, 1 > distance{
            minimal_triangle_internal_distance( surface.triangle( triangle ) )
        };
        static_cast< void >( set_internal_distances( distance ) );
        return true;
    }
} // namespace brevane::internal
