#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <absl/container/inlined_vector.h>

#include <tessark/geometry/point.h>
#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_builder.h>
#include <halven/modifier/constraint_modifier.h>

namespace brevane::internal
{
    // What an edge split created.
    struct SplitEdgeInfo
    {
        // The vertex at the split point.
        index_t vertex{ NO_ID };
        // The new triangles: one per triangle of the edge (one for a border
        // edge, two for an inner edge).
        absl::InlinedVector< index_t, 2 > new_polygons;
    };

    // Old-to-new indices of a clean, NO_ID for removed elements.
    struct CleanMappings
    {
        std::vector< index_t > vertices;
        std::vector< index_t > polygons;
        std::vector< index_t > edges;
    };

    // Local modifications of a background surface (split, collapse, flip,
    // move) that keep the triangulation valid and its records right. Every
    // operation touches only the triangles around the elements it changes.
    //
    // Removed triangles and vertices are only marked; clean() compacts the
    // surface. Until then marked elements keep their indices and must not
    // be used; is_polygon_deleted, is_vertex_deleted and is_edge_active tell
    // which elements are live.
    //
    // Records follow the operations:
    // - a split edge passes its macro edge records to both halves and its
    //   assignable edge attributes to both halves; a split triangle passes
    //   its macro element records and its assignable polygon attributes to
    //   the triangles made from it; the new vertex gets the interpolable
    //   vertex attributes (z_coordinate...) interpolated linearly along the
    //   edge or barycentrically in the triangle;
    // - a collapse passes the macro edge records of the removed edges to the
    //   edges that replace them, and gives every triangle around the kept
    //   vertex that changed the macro element records of all the triangles
    //   that were around the removed vertex (the area they covered is now
    //   covered by these triangles);
    // - a flip gives both new triangles the macro element records of both
    //   old ones.
    //
    // Rules beyond validity: a border vertex is never removed or moved, a
    // vertex with macro vertex records is never removed or moved, an edge
    // with macro edge records is never flipped, and chains of edges with
    // macro edge records stay chains: a vertex with incident macro edges is
    // never moved, and only collapses along its chain (see
    // is_collapse_edge_valid). The constraints (see ConstraintModifier) add
    // restrictions on the border.
    //
    // The surface must be changed only through this modifier while it is in
    // use. Queries are const and safe from several threads at once.
    class BackgroundSurfaceModifier
    {
    public:
        BackgroundSurfaceModifier( const BackgroundSurface& background,
            BackgroundSurfaceBuilder& background_builder,
            TriangulatedSurfaceBuilder2D& surface_builder );
        ~BackgroundSurfaceModifier();

        BackgroundSurfaceModifier( const BackgroundSurfaceModifier& ) = delete;
        BackgroundSurfaceModifier& operator=(
            const BackgroundSurfaceModifier& ) = delete;

        [[nodiscard]] const BackgroundSurface& background() const;

        [[nodiscard]] const ConstraintModifier::CommonConstraints&
            constraints() const;
        void set_constraints(
            const ConstraintModifier::CommonConstraints& constraints );

        // True when splitting the edge at the point leaves every triangle of
        // the edge as two counter-clockwise, non-degenerate triangles (the
        // point must lie on the edge up to rounding), and the constraints
        // allow it.
        [[nodiscard]] bool is_split_edge_valid(
            const PolygonEdge& edge, const Point2D& point ) const;
        // Throws when the split is not valid.
        SplitEdgeInfo split_edge( const PolygonEdge& edge, const Point2D& point );

        // True when the point is strictly inside the live triangle.
        [[nodiscard]] bool is_split_triangle_valid(
            index_t triangle, const Point2D& point ) const;
        // Splits the triangle into three around a new vertex at the point and
        // returns that vertex; throws when the split is not valid.
        index_t split_triangle( index_t triangle, const Point2D& point );

        // True when the vertex `from` may merge into its neighbour `to`, `to`
        // staying at its place:
        // - `from` is not on the border and has no macro vertex record;
        // - the two share exactly the two neighbours opposite their edge
        //   (link condition), so the result stays a manifold triangulation;
        // - every triangle around `from` that remains keeps a strictly
        //   positive area once its corner `from` is at `to` (exact
        //   orientation tests): nothing flips or degenerates;
        // - when `from` has incident macro edges, it is inside one chain:
        //   exactly two of its edges have records, both with records of the
        //   same meshes (a vertex where chains of several meshes meet, or
        //   more than two chain edges, is a junction), and the edge to `to`
        //   is one of them, so the collapse runs along the chain.
        [[nodiscard]] bool is_collapse_edge_valid(
            index_t from, index_t to ) const;
        // The collapse of the edge's start vertex into its end vertex.
        [[nodiscard]] bool is_collapse_edge_valid( const PolygonEdge& edge ) const;
        // Merges `from` into `to` and returns `to`; throws when the collapse
        // is not valid. The two triangles of the edge and `from` are marked
        // as deleted.
        index_t collapse_edge( index_t from, index_t to );
        index_t collapse_edge( const PolygonEdge& edge );

        // True when the edge is inner, carries no macro edge record, its two
        // triangles form a strictly convex quadrilateral (exact orientation
        // tests) and the other diagonal is not already an edge.
        [[nodiscard]] bool is_flip_edge_valid( const PolygonEdge& edge ) const;
        // Replaces the edge by the other diagonal of its quadrilateral and
        // returns that diagonal, as an edge of the first triangle; throws
        // when the flip is not valid.
        PolygonEdge flip_edge( const PolygonEdge& edge );

        // True when the vertex is not on the border, has neither macro vertex
        // records nor incident macro edges, and every triangle around it
        // keeps a strictly positive area at the new position.
        [[nodiscard]] bool is_move_vertex_valid(
            index_t vertex, const Point2D& point ) const;
        // Moves the vertex; throws when the move is not valid. Attributes
        // of the vertex are kept as they are.
        void move_vertex( index_t vertex, const Point2D& point );

        [[nodiscard]] bool is_vertex_deleted( index_t vertex ) const;
        [[nodiscard]] bool is_polygon_deleted( index_t polygon ) const;
        // True when a live triangle uses the unique edge. Edges no triangle
        // uses any more stay numbered until clean().
        [[nodiscard]] bool is_edge_active( index_t edge ) const;

        // The current index of a vertex of the original numbering: the
        // vertices the surface had when this modifier was created, plus those
        // created through it before its first clean(), by their index at
        // creation. A vertex merged into another by a collapse follows the
        // one it merged into. Empty when the vertex vanished or the index is
        // not in the original numbering.
        [[nodiscard]] std::optional< index_t > updated_vertex(
            index_t original ) const;

        // Removes the marked triangles and vertices and the edges no triangle
        // uses, compacting the surface (attributes and records follow).
        // Adjacencies are kept right by every operation, so nothing is
        // recomputed but the vertex links, in one pass over the triangles.
        CleanMappings clean();

    private:
        class Impl;
        std::unique_ptr< Impl > impl_;
    };
} // namespace brevane::internal
