#pragma once

#include <tessark/mesh/triangulated_surface.h>

#include <halven/background/macro_edges.h>
#include <halven/background/macro_info.h>

namespace brevane::internal
{
    // A plan-view triangulation of a model together with the memory of the
    // model components its vertices, triangles and edges come from. It
    // refers to the surface (which must outlive it) and keeps its records
    // as attributes of that surface; it is movable, not copyable.
    class BackgroundSurface : public MacroInfo, public MacroEdges
    {
    public:
        explicit BackgroundSurface( const TriangulatedSurface2D& surface );

        BackgroundSurface( BackgroundSurface&& ) noexcept = default;
        BackgroundSurface& operator=( BackgroundSurface&& ) noexcept = default;
        BackgroundSurface( const BackgroundSurface& ) = delete;
        BackgroundSurface& operator=( const BackgroundSurface& ) = delete;

        [[nodiscard]] const TriangulatedSurface2D& surface() const
        {
            return *surface_;
        }

    private:
        const TriangulatedSurface2D* surface_;
    };
} // namespace brevane::internal
