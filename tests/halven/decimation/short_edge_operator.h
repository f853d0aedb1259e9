#pragma once

#include <halven/decimation/background_surface_all_non_macro_vertex.h>

namespace brevane::internal::test
{
    // Candidates: the edges of BackgroundSurfaceAllNonMacroVertex that are
    // not longer than a fixed length, as a size field would choose them.
    class ShortEdgeOperator : public BackgroundSurfaceAllNonMacroVertex
    {
    public:
        ShortEdgeOperator( const BackgroundSurface& background, double length )
            : BackgroundSurfaceAllNonMacroVertex( background ),
              length_( length )
        {
        }

        bool skip_edge( const TriangulatedSurface2D& surface,
            const PolygonEdge& edge ) const override
        {
            return BackgroundSurfaceAllNonMacroVertex::skip_edge(
                       surface, edge )
                   || surface.edge_length( edge ) > length_;
        }

    private:
        double length_;
    };
} // namespace brevane::internal::test
