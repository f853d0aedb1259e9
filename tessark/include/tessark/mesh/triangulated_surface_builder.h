#pragma once

#include <array>
#include <memory>

#include <tessark/mesh/surface_mesh_builder.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    // The writer of a TriangulatedSurface: create_polygon only takes three
    // distinct vertices.
    template < index_t D >
    class TriangulatedSurfaceBuilder : public SurfaceMeshBuilder< D >
    {
    public:
        // The builder registered for the surface's impl_name(); throws
        // "Cannot create mesh builder with key: <key>" when there is none or
        // when it is not a triangle builder.
        [[nodiscard]] static std::unique_ptr< TriangulatedSurfaceBuilder >
        create( TriangulatedSurface< D >& mesh );

        explicit TriangulatedSurfaceBuilder( TriangulatedSurface< D >& mesh );

        index_t create_triangle( const std::array< index_t, 3 >& vertices );
    };

    using TriangulatedSurfaceBuilder2D = TriangulatedSurfaceBuilder< 2 >;
    using TriangulatedSurfaceBuilder3D = TriangulatedSurfaceBuilder< 3 >;
} // namespace brevane
