#pragma once

#include <memory>
#include <vector>

#include <absl/types/span.h>

#include <tessark/mesh/surface_mesh.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    // Old-to-new mappings of a polygon deletion; NO_ID for removed elements.
    struct PolygonDeletionMappings
    {
        std::vector< index_t > polygons;
        std::vector< index_t > edges;
    };

    // The writer of a SurfaceMesh. Vertex, polygon and edge attributes follow
    // every change; unique edges are created with the polygon edges that use
    // them. New vertices created without a point are at the origin.
    //
    // The local operations (set_polygon_vertex, set_polygon_adjacent) change
    // one corner and keep the vertex links valid, without rebuilding the
    // mesh; adjacency across the changed edges is the caller's to set.
    template < index_t D >
    class SurfaceMeshBuilder : public VertexSetBuilder
    {
    public:
        // The builder registered for the surface's impl_name(); throws
        // "Cannot create mesh builder with key: <key>" when there is none.
        [[nodiscard]] static std::unique_ptr< SurfaceMeshBuilder > create(
            SurfaceMesh< D >& mesh );

        explicit SurfaceMeshBuilder( SurfaceMesh< D >& mesh );

        // Returns the index of the new vertex.
        index_t create_point( const Point< D >& point );
        void set_point( index_t vertex, const Point< D >& point );

        // Returns the index of the new polygon (polygons are numbered from 0
        // in creation order). The new polygon has no adjacent polygons. Throws
        // naming the index when a vertex does not exist or appears twice, and
        // when the size does not suit the surface.
        index_t create_polygon( absl::Span< const index_t > vertices );
        // Creates polygons of polygon_size vertices each from a flat array
        // (the vertices of the first polygon, then of the second...), as
        // many create_polygon calls in that order would: same polygon, edge
        // and link numbering. Storage is reserved once. Returns the index of
        // the first new polygon. Every polygon is checked first: on any error
        // (a size that does not suit the surface or does not divide the
        // array, a vertex that does not exist or appears twice in a polygon,
        // too many polygons) nothing is created.
        index_t create_polygons(
            absl::Span< const index_t > vertices, local_index_t polygon_size );
        // Replaces the vertex of a polygon corner; the two polygon edges at
        // the corner get their unique edges (created when new). Edges no
        // polygon uses any more stay until the next compaction.
        void set_polygon_vertex(
            const PolygonVertex& polygon_vertex, index_t vertex );
        // Sets the polygon across the edge, NO_ID for the border. Only this
        // side is set.
        void set_polygon_adjacent(
            const PolygonEdge& polygon_edge, index_t adjacent );
        // Sets the stored incident corner of a vertex (none with a default
        // PolygonVertex). The corner must hold the vertex.
        void set_polygon_around_vertex(
            index_t vertex, const PolygonVertex& polygon_vertex );
        // Recomputes all adjacencies through the unique edges: two polygons
        // running a shared edge in opposite directions are adjacent. An edge
        // shared by more than two polygons (non-manifold), or by two polygons
        // running it in the same direction, gets no adjacency on any of its
        // polygons. Vertex links are recomputed too.
        void compute_polygon_adjacencies();

        // Removes the flagged polygons (one flag per polygon) and the edges no
        // remaining polygon uses; returns the old-to-new polygon mapping.
        // Adjacencies to deleted polygons become borders.
        std::vector< index_t > delete_polygons(
            const std::vector< bool >& to_delete );
        // Same as delete_polygons, also returning the edge mapping.
        PolygonDeletionMappings delete_polygons_with_edge_mapping(
            const std::vector< bool >& to_delete );
        // Removes the edges no polygon uses; returns the old-to-new edge
        // mapping.
        std::vector< index_t > delete_isolated_edges();
        // Removes the vertices no polygon uses; returns the old-to-new vertex
        // mapping.
        std::vector< index_t > delete_isolated_vertices();
        // Polygon i becomes polygon old2new[i]; edge numbering is unchanged.
        void permute_polygons( absl::Span< const index_t > old2new );

    private:
        SurfaceMesh< D >& surface_;
    };

    using SurfaceMeshBuilder2D = SurfaceMeshBuilder< 2 >;
    using SurfaceMeshBuilder3D = SurfaceMeshBuilder< 3 >;
} // namespace brevane
