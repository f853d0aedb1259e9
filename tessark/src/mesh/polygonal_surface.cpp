#include <tessark/mesh/polygonal_surface.h>

namespace brevane
{
    template < index_t D >
    PolygonalSurface< D >::PolygonalSurface() : SurfaceMesh< D >( 0 )
    {
    }

    template < index_t D >
    PolygonalSurface< D >::PolygonalSurface( const PolygonalSurface& other )
        : SurfaceMesh< D >( other )
    {
    }

    template < index_t D >
    PolygonalSurface< D >::PolygonalSurface(
        PolygonalSurface&& other ) noexcept = default;

    template < index_t D >
    PolygonalSurface< D >& PolygonalSurface< D >::operator=(
        PolygonalSurface&& other ) noexcept = default;

    template < index_t D >
    PolygonalSurface< D >::~PolygonalSurface() = default;

    template < index_t D >
    std::unique_ptr< PolygonalSurface< D > > PolygonalSurface< D >::create()
    {
        return std::unique_ptr< PolygonalSurface >{ new PolygonalSurface };
    }

    template < index_t D >
    std::unique_ptr< PolygonalSurface< D > > PolygonalSurface< D >::clone()
        const
    {
        return std::unique_ptr< PolygonalSurface >{ new PolygonalSurface{
            *this } };
    }

    template < index_t D >
    std::string_view PolygonalSurface< D >::impl_name() const
    {
        if constexpr( D == 2 )
        {
            return "TessarkPolygonalSurface2D";
        }
        else
        {
            return "TessarkPolygonalSurface3D";
        }
    }

    template class PolygonalSurface< 2 >;
    template class PolygonalSurface< 3 >;
} // namespace brevane
