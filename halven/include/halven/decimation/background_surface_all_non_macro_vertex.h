#pragma once

#include <halven/background/background_surface.h>
#include <halven/decimation/triangulated_surface_decimator_operator.h>

namespace brevane::internal
{
    // The decimation operator of background surfaces: a vertex may be
    // removed by a collapse only when it stands for no model vertex (no macro
    // vertex record) and is not on the border of the plan view. An edge is a
    // candidate when at least one of its ends may be removed.
    class BackgroundSurfaceAllNonMacroVertex
        : public TriangulatedSurfaceDecimatorOperator< 2 >
    {
    public:
        // The background surface must outlive the operator.
        explicit BackgroundSurfaceAllNonMacroVertex(
            const BackgroundSurface& background );
        ~BackgroundSurfaceAllNonMacroVertex() override;

        // True when neither end of the edge may be removed.
        [[nodiscard]] bool skip_edge( const TriangulatedSurface2D& surface,
            const PolygonEdge& edge ) const override;

    private:
        [[nodiscard]] bool is_removable(
            const TriangulatedSurface2D& surface, index_t vertex ) const;

        const BackgroundSurface& background_;
    };
} // namespace brevane::internal
