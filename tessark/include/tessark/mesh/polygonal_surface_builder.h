#pragma once

#include <memory>

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/surface_mesh_builder.h>

namespace brevane
{
    // The writer of a PolygonalSurface.
    template < index_t D >
    class PolygonalSurfaceBuilder : public SurfaceMeshBuilder< D >
    {
    public:
        // The builder registered for the surface's impl_name(); throws
        // "Cannot create mesh builder with key: <key>" when there is none or
        // when it is not a polygon builder.
        [[nodiscard]] static std::unique_ptr< PolygonalSurfaceBuilder > create(
            PolygonalSurface< D >& mesh );

        explicit PolygonalSurfaceBuilder( PolygonalSurface< D >& mesh );
    };

    using PolygonalSurfaceBuilder2D = PolygonalSurfaceBuilder< 2 >;
    using PolygonalSurfaceBuilder3D = PolygonalSurfaceBuilder< 3 >;
} // namespace brevane
