#include <tessark/mesh/surface_mesh_builder.h>

#include <tessark/mesh/mesh_builder_factory.h>

namespace brevane
{
    template < index_t D >
    SurfaceMeshBuilder< D >::SurfaceMeshBuilder( SurfaceMesh< D >& mesh )
        : VertexSetBuilder( mesh ), surface_( mesh )
    {
    }

    template < index_t D >
    std::unique_ptr< SurfaceMeshBuilder< D > > SurfaceMeshBuilder< D >::create(
        SurfaceMesh< D >& mesh )
    {
        return create_mesh_builder< SurfaceMeshBuilder< D > >( mesh );
    }

    template < index_t D >
    index_t SurfaceMeshBuilder< D >::create_point( const Point< D >& point )
    {
        // Copied first: the point may be one of this mesh's own points,
        // which creating a vertex can move.
        const auto copy = point;
        const auto vertex = create_vertex();
        surface_.set_point( vertex, copy );
        return vertex;
    }

    template < index_t D >
    void SurfaceMeshBuilder< D >::set_point(
        index_t vertex, const Point< D >& point )
    {
        surface_.set_point( vertex, point );
    }

    template < index_t D >
    index_t SurfaceMeshBuilder< D >::create_polygon(
        absl::Span< const index_t > vertices )
    {
        return surface_.create_polygon( vertices );
    }

    template < index_t D >
    index_t SurfaceMeshBuilder< D >::create_polygons(
        absl::Span< const index_t > vertices, local_index_t polygon_size )
    {
        return surface_.create_polygons( vertices, polygon_size );
    }

    template < index_t D >
    void SurfaceMeshBuilder< D >::set_polygon_vertex(
        const PolygonVertex& polygon_vertex, index_t vertex )
    {
        surface_.set_polygon_vertex( polygon_vertex, vertex );
    }

    template < index_t D >
    void SurfaceMeshBuilder< D >::set_polygon_adjacent(
        const PolygonEdge& polygon_edge, index_t adjacent )
    {
        surface_.set_polygon_adjacent( polygon_edge, adjacent );
    }

    template < index_t D >
    void SurfaceMeshBuilder< D >::set_polygon_around_vertex(
        index_t vertex, const PolygonVertex& polygon_vertex )
    {
        surface_.set_polygon_around_vertex( vertex, polygon_vertex );
    }

    template < index_t D >
    void SurfaceMeshBuilder< D >::compute_polygon_adjacencies()
    {
        surface_.compute_polygon_adjacencies();
    }

    template < index_t D >
    std::vector< index_t > SurfaceMeshBuilder< D >::delete_polygons(
        const std::vector< bool >& to_delete )
    {
        return delete_polygons_with_edge_mapping( to_delete ).polygons;
    }

    template < index_t D >
    PolygonDeletionMappings
    SurfaceMeshBuilder< D >::delete_polygons_with_edge_mapping(
        const std::vector< bool >& to_delete )
    {
        PolygonDeletionMappings mappings;
        mappings.polygons = surface_.delete_polygons( to_delete );
        mappings.edges = surface_.delete_isolated_edges();
        return mappings;
    }

    template < index_t D >
    std::vector< index_t > SurfaceMeshBuilder< D >::delete_isolated_edges()
    {
        return surface_.delete_isolated_edges();
    }

    template < index_t D >
    std::vector< index_t > SurfaceMeshBuilder< D >::delete_isolated_vertices()
    {
        std::vector< bool > unused( surface_.nb_vertices(), true );
        for( const auto vertex : surface_.polygon_vertices_ )
        {
            unused[vertex] = false;
        }
        return delete_vertices( unused );
    }

    template < index_t D >
    void SurfaceMeshBuilder< D >::permute_polygons(
        absl::Span< const index_t > old2new )
    {
        surface_.permute_polygons( old2new );
    }

    template class SurfaceMeshBuilder< 2 >;
    template class SurfaceMeshBuilder< 3 >;
} // namespace brevane
