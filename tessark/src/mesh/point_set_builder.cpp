#include <tessark/mesh/point_set_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    template < index_t D >
    PointSetBuilder< D >::PointSetBuilder( PointSet< D >& mesh )
        : VertexSetBuilder( mesh ), point_set_( mesh )
    {
    }

    template < index_t D >
    std::unique_ptr< PointSetBuilder< D > > PointSetBuilder< D >::create(
        PointSet< D >& mesh )
    {
        return create_mesh_builder< PointSetBuilder< D > >( mesh );
    }

    template < index_t D >
    index_t PointSetBuilder< D >::create_point( const Point< D >& point )
    {
        // Copied first: the point may be one of this mesh's own points,
        // which creating a vertex can move.
        const auto copy = point;
        const auto vertex = create_vertex();
        point_set_.points_[vertex] = copy;
        return vertex;
    }

    template < index_t D >
    void PointSetBuilder< D >::set_point(
        index_t vertex, const Point< D >& point )
    {
        point_set_.check_vertex( vertex, "PointSetBuilder::set_point" );
        point_set_.points_[vertex] = point;
    }

    template class PointSetBuilder< 2 >;
    template class PointSetBuilder< 3 >;
} // namespace brevane
