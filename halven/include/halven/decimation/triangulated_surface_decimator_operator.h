#pragma once

#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    // Decides which edges of a triangulated surface a decimator may try to
    // collapse. The decimator still checks that a collapse is valid, and
    // chooses its direction.
    template < index_t D >
    class TriangulatedSurfaceDecimatorOperator
    {
    public:
        TriangulatedSurfaceDecimatorOperator() = default;
        virtual ~TriangulatedSurfaceDecimatorOperator();

        TriangulatedSurfaceDecimatorOperator(
            const TriangulatedSurfaceDecimatorOperator& ) = delete;
        TriangulatedSurfaceDecimatorOperator& operator=(
            const TriangulatedSurfaceDecimatorOperator& ) = delete;

        // True when the edge is not a candidate for a collapse in either
        // direction.
        [[nodiscard]] virtual bool skip_edge(
            const TriangulatedSurface< D >& surface,
            const PolygonEdge& edge ) const = 0;
    };
} // namespace brevane
