#include <tessark/mesh/point_set.h>

#include "mesh/element_mapping.h"

namespace brevane
{
    template < index_t D >
    PointSet< D >::PointSet() = default;

    template < index_t D >
    PointSet< D >::PointSet( const PointSet& other )
        : VertexSet( other ), points_( other.points_ )
    {
    }

    template < index_t D >
    PointSet< D >::PointSet( PointSet&& other ) noexcept = default;

    template < index_t D >
    PointSet< D >& PointSet< D >::operator=(
        PointSet&& other ) noexcept = default;

    template < index_t D >
    PointSet< D >::~PointSet() = default;

    template < index_t D >
    std::unique_ptr< PointSet< D > > PointSet< D >::create()
    {
        return std::unique_ptr< PointSet >{ new PointSet };
    }

    template < index_t D >
    std::unique_ptr< PointSet< D > > PointSet< D >::clone() const
    {
        return std::unique_ptr< PointSet >{ new PointSet{ *this } };
    }

    template < index_t D >
    std::string_view PointSet< D >::impl_name() const
    {
        if constexpr( D == 2 )
        {
            return "TessarkPointSet2D";
        }
        else
        {
            return "TessarkPointSet3D";
        }
    }

    template < index_t D >
    const Point< D >& PointSet< D >::point( index_t vertex ) const
    {
        check_vertex( vertex, "PointSet::point" );
        return points_[vertex];
    }

    template < index_t D >
    BoundingBox< D > PointSet< D >::bounding_box() const
    {
        BoundingBox< D > box;
        for( const auto& point : points_ )
        {
            box.add_point( point );
        }
        return box;
    }

    template < index_t D >
    void PointSet< D >::resize_vertex_data( index_t nb_vertices )
    {
        points_.resize( nb_vertices );
    }

    template < index_t D >
    void PointSet< D >::delete_vertex_data(
        const std::vector< bool >& to_delete,
        absl::Span< const index_t > /*old2new*/ )
    {
        detail::compact( points_, to_delete );
    }

    template < index_t D >
    void PointSet< D >::permute_vertex_data(
        absl::Span< const index_t > old2new )
    {
        detail::permute( points_, old2new );
    }

    template class PointSet< 2 >;
    template class PointSet< 3 >;
} // namespace brevane
