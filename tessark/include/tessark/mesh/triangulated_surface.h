#pragma once

#include <memory>
#include <string_view>

#include <tessark/mesh/surface_mesh.h>

namespace brevane
{
    // A surface of triangles, stored with a fixed stride of three corners.
    template < index_t D >
    class TriangulatedSurface : public SurfaceMesh< D >
    {
    public:
        ~TriangulatedSurface() override;

        TriangulatedSurface( TriangulatedSurface&& other ) noexcept;
        TriangulatedSurface& operator=( TriangulatedSurface&& other ) noexcept;

        [[nodiscard]] static std::unique_ptr< TriangulatedSurface > create();
        // A copy with the transferable vertex, polygon and edge attributes.
        [[nodiscard]] std::unique_ptr< TriangulatedSurface > clone() const;

        // "TessarkTriangulatedSurface2D" or "TessarkTriangulatedSurface3D".
        [[nodiscard]] std::string_view impl_name() const override;

        [[nodiscard]] Triangle< D > triangle( index_t polygon ) const;

    protected:
        TriangulatedSurface();
        TriangulatedSurface( const TriangulatedSurface& other );
    };

    using TriangulatedSurface2D = TriangulatedSurface< 2 >;
    using TriangulatedSurface3D = TriangulatedSurface< 3 >;
} // namespace brevane
