#include <tessark/mesh/edged_curve_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    template < index_t D >
    EdgedCurveBuilder< D >::EdgedCurveBuilder( EdgedCurve< D >& mesh )
        : GraphBuilder( mesh ), curve_( mesh )
    {
    }

    template < index_t D >
    std::unique_ptr< EdgedCurveBuilder< D > > EdgedCurveBuilder< D >::create(
        EdgedCurve< D >& mesh )
    {
        return create_mesh_builder< EdgedCurveBuilder< D > >( mesh );
    }

    template < index_t D >
    index_t EdgedCurveBuilder< D >::create_point( const Point< D >& point )
    {
        // Copied first: the point may be one of this mesh's own points,
        // which creating a vertex can move.
        const auto copy = point;
        const auto vertex = create_vertex();
        curve_.points_[vertex] = copy;
        return vertex;
    }

    template < index_t D >
    void EdgedCurveBuilder< D >::set_point(
        index_t vertex, const Point< D >& point )
    {
        curve_.check_vertex( vertex, "EdgedCurveBuilder::set_point" );
        curve_.points_[vertex] = point;
    }

    template class EdgedCurveBuilder< 2 >;
    template class EdgedCurveBuilder< 3 >;
} // namespace brevane
