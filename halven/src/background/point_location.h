#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <tessark/mesh/triangulated_surface.h>
#include <tessark/search/aabb.h>

namespace brevane::internal::detail
{
    // Where a point lands in a triangulation, with the tolerance
    // GLOBAL_EPSILON.
    struct PointLocation
    {
        enum struct KIND
        {
            // Closer than the tolerance to `vertex`.
            vertex,
            // Closer than the tolerance to `edge` and to no vertex; `point`
            // is the projection on the edge.
            edge,
            // Strictly inside `triangle`, farther than the tolerance from
            // its vertices and edges.
            triangle,
            // Neither inside the triangulation nor close to it.
            outside
        };

        KIND kind{ KIND::outside };
        index_t vertex{ NO_ID };
        PolygonEdge edge;
        index_t triangle{ NO_ID };
        Point2D point;
    };

    // Locates points in a triangulation whose triangles are only ever split,
    // from a tree of the triangles it had when the locator was built.
    class PointLocator
    {
    public:
        using IsDeleted = std::function< bool( index_t ) >;

        PointLocator(
            const TriangulatedSurface2D& surface, IsDeleted is_deleted );

        [[nodiscard]] PointLocation locate( const Point2D& point ) const;

    private:
        // The live triangle holding the point (closed test), reached by a
        // straight walk from the barycenter of `start`; otherwise the
        // triangle where the walk left the triangulation, flagged.
        struct WalkEnd
        {
            index_t triangle{ NO_ID };
            bool contains{ false };
        };
        [[nodiscard]] WalkEnd walk( index_t start, const Point2D& point ) const;
        [[nodiscard]] bool contains( index_t triangle, const Point2D& point ) const;
        [[nodiscard]] PointLocation classify( const std::vector< index_t >& near,
            const Point2D& point,
            index_t container ) const;
        // The live triangles whose box, grown by the tolerance, holds the
        // point, reached through adjacency from `start`.
        [[nodiscard]] std::vector< index_t > neighbourhood(
            index_t start, const Point2D& point ) const;

        const TriangulatedSurface2D& surface_;
        IsDeleted is_deleted_;
        AABBTree< 2 > tree_;
    };
} // namespace brevane::internal::detail
