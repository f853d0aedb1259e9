#pragma once

#include <memory>
#include <string_view>

#include <tessark/mesh/surface_mesh.h>

namespace brevane
{
    // A surface of polygons of any size from 3, stored with offsets into the
    // corner arrays.
    template < index_t D >
    class PolygonalSurface : public SurfaceMesh< D >
    {
    public:
        ~PolygonalSurface() override;

        PolygonalSurface( PolygonalSurface&& other ) noexcept;
        PolygonalSurface& operator=( PolygonalSurface&& other ) noexcept;

        [[nodiscard]] static std::unique_ptr< PolygonalSurface > create();
        // A copy with the transferable vertex, polygon and edge attributes.
        [[nodiscard]] std::unique_ptr< PolygonalSurface > clone() const;

        // "TessarkPolygonalSurface2D" or "TessarkPolygonalSurface3D".
        [[nodiscard]] std::string_view impl_name() const override;

    protected:
        PolygonalSurface();
        PolygonalSurface( const PolygonalSurface& other );
    };

    using PolygonalSurface2D = PolygonalSurface< 2 >;
    using PolygonalSurface3D = PolygonalSurface< 3 >;
} // namespace brevane
