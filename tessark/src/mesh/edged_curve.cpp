#include <tessark/mesh/edged_curve.h>

#include "mesh/element_mapping.h"

namespace brevane
{
    template < index_t D >
    EdgedCurve< D >::EdgedCurve() = default;

    template < index_t D >
    EdgedCurve< D >::EdgedCurve( const EdgedCurve& other )
        : Graph( other ), points_( other.points_ )
    {
    }

    template < index_t D >
    EdgedCurve< D >::EdgedCurve( EdgedCurve&& other ) noexcept = default;

    template < index_t D >
    EdgedCurve< D >& EdgedCurve< D >::operator=(
        EdgedCurve&& other ) noexcept = default;

    template < index_t D >
    EdgedCurve< D >::~EdgedCurve() = default;

    template < index_t D >
    std::unique_ptr< EdgedCurve< D > > EdgedCurve< D >::create()
    {
        return std::unique_ptr< EdgedCurve >{ new EdgedCurve };
    }

    template < index_t D >
    std::unique_ptr< EdgedCurve< D > > EdgedCurve< D >::clone() const
    {
        return std::unique_ptr< EdgedCurve >{ new EdgedCurve{ *this } };
    }

    template < index_t D >
    std::string_view EdgedCurve< D >::impl_name() const
    {
        if constexpr( D == 2 )
        {
            return "TessarkEdgedCurve2D";
        }
        else
        {
            return "TessarkEdgedCurve3D";
        }
    }

    template < index_t D >
    const Point< D >& EdgedCurve< D >::point( index_t vertex ) const
    {
        check_vertex( vertex, "EdgedCurve::point" );
        return points_[vertex];
    }

    template < index_t D >
    Segment< D > EdgedCurve< D >::segment( index_t edge ) const
    {
        const auto& vertices = edge_vertices( edge );
        TESSARK_EXCEPTION( vertices[0] != NO_ID && vertices[1] != NO_ID,
            "[EdgedCurve::segment] Edge ", edge, " has an unset end" );
        return Segment< D >{ points_[vertices[0]], points_[vertices[1]] };
    }

    template < index_t D >
    double EdgedCurve< D >::edge_length( index_t edge ) const
    {
        return segment( edge ).length();
    }

    template < index_t D >
    Point< D > EdgedCurve< D >::edge_barycenter( index_t edge ) const
    {
        return segment( edge ).barycenter();
    }

    template < index_t D >
    BoundingBox< D > EdgedCurve< D >::bounding_box() const
    {
        BoundingBox< D > box;
        for( const auto& point : points_ )
        {
            box.add_point( point );
        }
        return box;
    }

    template < index_t D >
    void EdgedCurve< D >::resize_vertex_data( index_t nb_vertices )
    {
        Graph::resize_vertex_data( nb_vertices );
        points_.resize( nb_vertices );
    }

    template < index_t D >
    void EdgedCurve< D >::delete_vertex_data(
        const std::vector< bool >& to_delete,
        absl::Span< const index_t > old2new )
    {
        Graph::delete_vertex_data( to_delete, old2new );
        detail::compact( points_, to_delete );
    }

    template < index_t D >
    void EdgedCurve< D >::permute_vertex_data(
        absl::Span< const index_t > old2new )
    {
        Graph::permute_vertex_data( old2new );
        detail::permute( points_, old2new );
    }

    template class EdgedCurve< 2 >;
    template class EdgedCurve< 3 >;
} // namespace brevane
