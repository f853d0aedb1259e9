#include <tessark/mesh/solid_mesh.h>

#include "mesh/element_mapping.h"

namespace brevane
{
    template < index_t D >
    SolidMesh< D >::SolidMesh()
        : polyhedron_attributes_( std::make_unique< AttributeManager >() )
    {
    }

    template < index_t D >
    SolidMesh< D >::SolidMesh( const SolidMesh& other )
        : VertexSet( other ), points_( other.points_ ),
          polyhedron_attributes_( std::make_unique< AttributeManager >() )
    {
        polyhedron_attributes_->copy( *other.polyhedron_attributes_ );
    }

    template < index_t D >
    SolidMesh< D >::SolidMesh( SolidMesh&& other ) noexcept = default;

    template < index_t D >
    SolidMesh< D >& SolidMesh< D >::operator=(
        SolidMesh&& other ) noexcept = default;

    template < index_t D >
    SolidMesh< D >::~SolidMesh() = default;

    template < index_t D >
    void SolidMesh< D >::check_polyhedron(
        index_t polyhedron, std::string_view caller ) const
    {
        TESSARK_EXCEPTION( polyhedron < nb_polyhedra(), "[", caller,
            "] Polyhedron ", polyhedron, " does not exist (", nb_polyhedra(),
            " polyhedra)" );
    }

    template < index_t D >
    local_index_t SolidMesh< D >::nb_polyhedron_vertices(
        index_t polyhedron ) const
    {
        return polyhedron_type_nb_vertices( polyhedron_type( polyhedron ) );
    }

    template < index_t D >
    local_index_t SolidMesh< D >::nb_polyhedron_facets(
        index_t polyhedron ) const
    {
        return polyhedron_type_nb_facets( polyhedron_type( polyhedron ) );
    }

    template < index_t D >
    PolyhedronFacetVertices SolidMesh< D >::polyhedron_facet_vertices(
        const PolyhedronFacet& facet ) const
    {
        const auto vertices = polyhedron_vertices( facet.polyhedron_id );
        PolyhedronFacetVertices result;
        for( const auto local : polyhedron_type_facet(
                 polyhedron_type( facet.polyhedron_id ), facet.facet_id ) )
        {
            result.push_back( vertices[local] );
        }
        return result;
    }

    template < index_t D >
    const Point< D >& SolidMesh< D >::point( index_t vertex ) const
    {
        check_vertex( vertex, "SolidMesh::point" );
        return points_[vertex];
    }

    template < index_t D >
    void SolidMesh< D >::set_point( index_t vertex, const Point< D >& point )
    {
        check_vertex( vertex, "SolidMesh::set_point" );
        points_[vertex] = point;
    }

    template < index_t D >
    BoundingBox< D > SolidMesh< D >::bounding_box() const
    {
        BoundingBox< D > box;
        for( const auto& point : points_ )
        {
            box.add_point( point );
        }
        return box;
    }

    template < index_t D >
    void SolidMesh< D >::resize_vertex_data( index_t nb_vertices )
    {
        points_.resize( nb_vertices );
    }

    template < index_t D >
    void SolidMesh< D >::delete_vertex_data(
        const std::vector< bool >& to_delete,
        absl::Span< const index_t > old2new )
    {
        detail::compact( points_, to_delete );
        remap_polyhedron_vertices( old2new );
    }

    template < index_t D >
    void SolidMesh< D >::permute_vertex_data(
        absl::Span< const index_t > old2new )
    {
        detail::permute( points_, old2new );
        remap_polyhedron_vertices( old2new );
    }

    template class SolidMesh< 3 >;
} // namespace brevane
