#include <halven/decimation/triangulated_surface_decimator_operator.h>

namespace brevane
{
    template < index_t D >
    TriangulatedSurfaceDecimatorOperator<
        D >::~TriangulatedSurfaceDecimatorOperator() = default;

    template class TriangulatedSurfaceDecimatorOperator< 2 >;
} // namespace brevane
