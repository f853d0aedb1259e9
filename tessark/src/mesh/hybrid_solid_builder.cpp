#include <tessark/mesh/hybrid_solid_builder.h>

#include <algorithm>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    template < index_t D >
    HybridSolidBuilder< D >::HybridSolidBuilder( HybridSolid< D >& mesh )
        : VertexSetBuilder( mesh ), solid_( mesh )
    {
    }

    template < index_t D >
    std::unique_ptr< HybridSolidBuilder< D > > HybridSolidBuilder< D >::create(
        HybridSolid< D >& mesh )
    {
        return create_mesh_builder< HybridSolidBuilder< D > >( mesh );
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_point( const Point< D >& point )
    {
        // Copied first: the point may be one of this mesh's own points,
        // which creating a vertex can move.
        const auto copy = point;
        const auto vertex = create_vertex();
        solid_.set_point( vertex, copy );
        return vertex;
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_points(
        absl::Span< const Point< D > > points )
    {
        const auto first = create_vertices( static_cast< index_t >(
            std::min< std::size_t >( points.size(), NO_ID ) ) );
        for( std::size_t point = 0; point < points.size(); point++ )
        {
            solid_.set_point(
                first + static_cast< index_t >( point ), points[point] );
        }
        return first;
    }

    template < index_t D >
    void HybridSolidBuilder< D >::set_point(
        index_t vertex, const Point< D >& point )
    {
        solid_.set_point( vertex, point );
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_tetrahedron(
        const std::array< index_t, 4 >& vertices )
    {
        return solid_.create_polyhedron(
            PolyhedronType::tetrahedron, vertices );
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_pyramid(
        const std::array< index_t, 5 >& vertices )
    {
        return solid_.create_polyhedron( PolyhedronType::pyramid, vertices );
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_prism(
        const std::array< index_t, 6 >& vertices )
    {
        return solid_.create_polyhedron( PolyhedronType::prism, vertices );
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_hexahedron(
        const std::array< index_t, 8 >& vertices )
    {
        return solid_.create_polyhedron( PolyhedronType::hexahedron, vertices );
    }

    template < index_t D >
    index_t HybridSolidBuilder< D >::create_polyhedra(
        absl::Span< const PolyhedronType > types,
        absl::Span< const index_t > vertices )
    {
        return solid_.create_polyhedra( types, vertices );
    }

    template < index_t D >
    void HybridSolidBuilder< D >::compute_polyhedron_adjacencies()
    {
        solid_.compute_polyhedron_adjacencies();
    }

    template < index_t D >
    std::vector< index_t > HybridSolidBuilder< D >::delete_polyhedra(
        const std::vector< bool >& to_delete )
    {
        return solid_.delete_polyhedra( to_delete );
    }

    template < index_t D >
    std::vector< index_t > HybridSolidBuilder< D >::delete_isolated_vertices()
    {
        std::vector< bool > unused( solid_.nb_vertices(), true );
        for( const auto vertex : solid_.vertices_ )
        {
            unused[vertex] = false;
        }
        return delete_vertices( unused );
    }

    template class HybridSolidBuilder< 3 >;
} // namespace brevane
