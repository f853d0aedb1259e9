#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <tessark/geometry/basic_objects.h>
#include <tessark/geometry/bounding_box.h>
#include <tessark/geometry/point.h>
#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/surface_edges.h>
#include <tessark/mesh/vertex_set.h>

namespace brevane
{
    template < index_t D >
    class SurfaceMeshBuilder;

    using PolygonVertices = absl::InlinedVector< index_t, 3 >;
    using PolygonsAroundVertex = absl::InlinedVector< PolygonVertex, 10 >;
    using VerticesAroundVertex = absl::InlinedVector< index_t, 10 >;

    // A surface of polygons in the plane (D = 2) or in space (D = 3).
    //
    // Storage: contiguous arrays indexed by polygon corner. Corner k of a
    // polygon holds its vertex k, the polygon adjacent across its edge k
    // (from vertex k to vertex k + 1) or NO_ID on the border, and the unique
    // edge of that polygon edge. Polygons either all have the same size
    // (fixed stride, TriangulatedSurface) or any size from 3 (offsets,
    // PolygonalSurface). A polygon never holds the same vertex twice.
    //
    // Each vertex keeps one incident corner (polygon_around_vertex). For a
    // border vertex it is a corner whose outgoing edge (the polygon edge
    // starting at the vertex) is on the border, so that walks around the
    // vertex start at the border.
    //
    // Adjacency follows polygon orientation: two polygons are adjacent across
    // an edge they run in opposite directions.
    //
    // All const queries are safe from several threads at once.
    template < index_t D >
    class SurfaceMesh : public VertexSet
    {
    public:
        ~SurfaceMesh() override;

        SurfaceMesh( SurfaceMesh&& other ) noexcept;
        SurfaceMesh& operator=( SurfaceMesh&& other ) noexcept;

        [[nodiscard]] index_t nb_polygons() const;
        [[nodiscard]] local_index_t nb_polygon_vertices(
            index_t polygon ) const;
        [[nodiscard]] index_t polygon_vertex(
            const PolygonVertex& polygon_vertex ) const;
        [[nodiscard]] PolygonVertices polygon_vertices( index_t polygon ) const;
        // Vertex 0 (start) or 1 (end) of the polygon edge.
        [[nodiscard]] index_t polygon_edge_vertex(
            const PolygonEdge& polygon_edge, local_index_t vertex ) const;
        // Start and end of the polygon edge, in polygon order.
        [[nodiscard]] std::array< index_t, 2 > polygon_edge_vertices(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] PolygonVertex next_polygon_vertex(
            const PolygonVertex& polygon_vertex ) const;
        [[nodiscard]] PolygonVertex previous_polygon_vertex(
            const PolygonVertex& polygon_vertex ) const;
        [[nodiscard]] PolygonEdge next_polygon_edge(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] PolygonEdge previous_polygon_edge(
            const PolygonEdge& polygon_edge ) const;
        // The local index of the vertex in the polygon, if it is there.
        [[nodiscard]] std::optional< PolygonVertex > vertex_in_polygon(
            index_t polygon, index_t vertex ) const;

        [[nodiscard]] std::optional< index_t > polygon_adjacent(
            const PolygonEdge& polygon_edge ) const;
        // The same edge seen from the adjacent polygon.
        [[nodiscard]] std::optional< PolygonEdge > polygon_adjacent_edge(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] bool is_edge_on_border(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] bool is_polygon_on_border( index_t polygon ) const;
        [[nodiscard]] bool is_vertex_on_border( index_t vertex ) const;
        // True when no polygon uses the vertex.
        [[nodiscard]] bool is_vertex_isolated( index_t vertex ) const;

        // The stored incident corner of the vertex, none when isolated.
        [[nodiscard]] std::optional< PolygonVertex > polygon_around_vertex(
            index_t vertex ) const;
        // The corners of the vertex in the polygons reached from its stored
        // corner through adjacency, each once, rotating across incoming
        // edges: complete for a vertex whose polygons form one fan (inner or
        // border vertex of a manifold surface); a vertex where several fans
        // meet gets the fan of its stored corner. For a border vertex the
        // first corner has its outgoing edge on the border. Throws a
        // TessarkDataException when adjacency is inconsistent around the
        // vertex.
        [[nodiscard]] PolygonsAroundVertex polygons_around_vertex(
            index_t vertex ) const;
        // The vertices joined to the vertex by a polygon edge of its fan.
        [[nodiscard]] VerticesAroundVertex vertices_around_vertex(
            index_t vertex ) const;
        // The polygon edge going from one vertex to the other, searched in the
        // fan of the first vertex.
        [[nodiscard]] std::optional< PolygonEdge > polygon_edge_from_vertices(
            index_t from, index_t to ) const;

        // The border edges after and before a border edge along its border,
        // which is followed in polygon orientation. Throws when the edge is
        // not on the border, and a TessarkDataException when adjacency is
        // inconsistent around the shared vertex.
        [[nodiscard]] PolygonEdge next_on_border(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] PolygonEdge previous_on_border(
            const PolygonEdge& polygon_edge ) const;

        [[nodiscard]] const Point< D >& point( index_t vertex ) const;
        [[nodiscard]] Segment< D > segment(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] double edge_length(
            const PolygonEdge& polygon_edge ) const;
        [[nodiscard]] Point< D > edge_barycenter(
            const PolygonEdge& polygon_edge ) const;
        // The mean of the polygon's vertices.
        [[nodiscard]] Point< D > polygon_barycenter( index_t polygon ) const;
        // The box of all vertices.
        [[nodiscard]] BoundingBox< D > bounding_box() const;

        [[nodiscard]] AttributeManager& polygon_attribute_manager() const
        {
            return *polygon_attributes_;
        }
        [[nodiscard]] const SurfaceEdges& edges() const
        {
            return edges_;
        }
        // The unique edge of a polygon edge.
        [[nodiscard]] index_t polygon_edge(
            const PolygonEdge& polygon_edge ) const;

    protected:
        // polygon_size is the size of every polygon for fixed-stride storage,
        // 0 for polygons of any size.
        explicit SurfaceMesh( local_index_t polygon_size );
        // Copies the transferable attributes.
        SurfaceMesh( const SurfaceMesh& other );

        void check_polygon( index_t polygon, std::string_view caller ) const;

        void resize_vertex_data( index_t nb_vertices ) override;
        void check_vertex_deletion(
            const std::vector< bool >& to_delete ) const override;
        void delete_vertex_data( const std::vector< bool >& to_delete,
            absl::Span< const index_t > old2new ) override;
        void permute_vertex_data(
            absl::Span< const index_t > old2new ) override;

    private:
        friend class SurfaceMeshBuilder< D >;

        [[nodiscard]] index_t first_corner( index_t polygon ) const
        {
            return polygon_size_ != 0 ? polygon * polygon_size_
                                      : polygon_offsets_[polygon];
        }
        [[nodiscard]] local_index_t size_unchecked( index_t polygon ) const
        {
            return polygon_size_ != 0 ? polygon_size_
                                      : static_cast< local_index_t >(
                                          polygon_offsets_[polygon + 1]
                                          - polygon_offsets_[polygon] );
        }
        [[nodiscard]] index_t corner_unchecked(
            const PolygonVertex& polygon_vertex ) const
        {
            return first_corner( polygon_vertex.polygon_id )
                   + polygon_vertex.vertex_id;
        }
        void check_polygon_vertex( const PolygonVertex& polygon_vertex,
            std::string_view caller ) const;
        [[nodiscard]] index_t corner( const PolygonVertex& polygon_vertex,
            std::string_view caller ) const;
        [[nodiscard]] local_index_t local_vertex_unchecked(
            index_t polygon, index_t vertex ) const;
        [[nodiscard]] bool is_link_on_border( const PolygonVertex& link ) const;
        // Fills the fan of the vertex; false when adjacency is inconsistent.
        [[nodiscard]] bool walk_around_vertex(
            index_t vertex, PolygonsAroundVertex& fan ) const;
        // From a corner of the vertex, rotates across outgoing edges to the
        // corner whose outgoing edge is on the border; none when the fan is
        // closed or adjacency inconsistent.
        [[nodiscard]] std::optional< PolygonVertex > border_corner(
            index_t vertex, const PolygonVertex& start ) const;
        void throw_inconsistent_adjacency(
            index_t vertex, std::string_view caller ) const;

        index_t create_polygon( absl::Span< const index_t > vertices );
        index_t create_polygons(
            absl::Span< const index_t > vertices, local_index_t polygon_size );
        void check_new_polygon( absl::Span< const index_t > vertices,
            std::string_view caller ) const;
        void append_polygon( absl::Span< const index_t > vertices );
        void set_polygon_vertex(
            const PolygonVertex& polygon_vertex, index_t vertex );
        void set_polygon_adjacent(
            const PolygonEdge& polygon_edge, index_t adjacent );
        void set_polygon_around_vertex(
            index_t vertex, const PolygonVertex& polygon_vertex );
        void set_point( index_t vertex, const Point< D >& point );
        void update_link_with( const PolygonVertex& polygon_vertex );
        void compute_polygon_adjacencies();
        void compute_vertex_links();
        std::vector< index_t > delete_polygons(
            const std::vector< bool >& to_delete );
        std::vector< index_t > delete_isolated_edges();
        void permute_polygons( absl::Span< const index_t > old2new );
        void remap_vertices( absl::Span< const index_t > old2new );

        local_index_t polygon_size_;
        std::vector< Point< D > > points_;
        std::vector< PolygonVertex > vertex_links_;
        std::vector< index_t > polygon_vertices_;
        std::vector< index_t > polygon_adjacents_;
        std::vector< index_t > polygon_edges_;
        // nb_polygons() + 1 entries for offset storage, unused otherwise.
        std::vector< index_t > polygon_offsets_;
        std::unique_ptr< AttributeManager > polygon_attributes_;
        SurfaceEdges edges_;
    };
} // namespace brevane
