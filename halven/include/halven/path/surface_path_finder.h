#pragma once

#include <tessark/mesh/surface_mesh.h>

namespace brevane
{
    // The base of searches for paths across a surface mesh of any polygons: it
    // holds the surface, borrowed (it must outlive the finder), and leaves to
    // each subclass what a path is and how it is found (crossings of a cutting
    // plane, shortest routes along edges...). Queries only read the surface.
    template < index_t D >
    class SurfacePathFinder
    {
    public:
        explicit SurfacePathFinder( const SurfaceMesh< D >& surface );
        virtual ~SurfacePathFinder();

        SurfacePathFinder( const SurfacePathFinder& ) = default;
        SurfacePathFinder& operator=( const SurfacePathFinder& ) = default;

        [[nodiscard]] const SurfaceMesh< D >& surface() const
        {
            return *surface_;
        }

    private:
        // A pointer rather than a reference keeps the finder assignable.
        const SurfaceMesh< D >* surface_;
    };

    using SurfacePathFinder2D = SurfacePathFinder< 2 >;
    using SurfacePathFinder3D = SurfacePathFinder< 3 >;
} // namespace brevane
