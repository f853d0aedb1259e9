#include <halven/decimation/background_surface_decimator.h>

namespace brevane::internal
{
    BackgroundSurfaceDecimator::BackgroundSurfaceDecimator(
        BackgroundSurfaceConstraintModifier& modifier,
        const TriangulatedSurfaceDecimatorOperator< 2 >& decimation_operator )
        : TriangulatedSurfaceDecimator< 2 >(
            modifier.modifiable_background().second, decimation_operator ),
          constraint_modifier_( modifier )
    {
    }

    BackgroundSurfaceDecimator::~BackgroundSurfaceDecimator() = default;

    bool BackgroundSurfaceDecimator::allowed_collapse_edge(
        const OrientedEdge& edge ) const
    {
        const auto removed = edge.vertices[0];
        return !surface().is_vertex_on_border( removed )
               && modifier().background().macro_vertices( removed ).empty();
    }

    BackgroundSurfaceConstraintModifier&
    BackgroundSurfaceDecimator::constraint_modifier() const
    {
        return constraint_modifier_;
    }
} // namespace brevane::internal
