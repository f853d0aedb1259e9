#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    template < index_t D >
    TriangulatedSurface< D >::TriangulatedSurface() : SurfaceMesh< D >( 3 )
    {
    }

    template < index_t D >
    TriangulatedSurface< D >::TriangulatedSurface(
        const TriangulatedSurface& other )
        : SurfaceMesh< D >( other )
    {
    }

    template < index_t D >
    TriangulatedSurface< D >::TriangulatedSurface(
        TriangulatedSurface&& other ) noexcept = default;

    template < index_t D >
    TriangulatedSurface< D >& TriangulatedSurface< D >::operator=(
        TriangulatedSurface&& other ) noexcept = default;

    template < index_t D >
    TriangulatedSurface< D >::~TriangulatedSurface() = default;

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > >
    TriangulatedSurface< D >::create()
    {
        return std::unique_ptr< TriangulatedSurface >{
            new TriangulatedSurface
        };
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > >
    TriangulatedSurface< D >::clone() const
    {
        return std::unique_ptr< TriangulatedSurface >{ new TriangulatedSurface{
            *this } };
    }

    template < index_t D >
    std::string_view TriangulatedSurface< D >::impl_name() const
    {
        if constexpr( D == 2 )
        {
            return "TessarkTriangulatedSurface2D";
        }
        else
        {
            return "TessarkTriangulatedSurface3D";
        }
    }

    template < index_t D >
    Triangle< D > TriangulatedSurface< D >::triangle( index_t polygon ) const
    {
        const auto vertices = this->polygon_vertices( polygon );
        return Triangle< D >{ this->point( vertices[0] ),
            this->point( vertices[1] ), this->point( vertices[2] ) };
    }

    template class TriangulatedSurface< 2 >;
    template class TriangulatedSurface< 3 >;
} // namespace brevane
