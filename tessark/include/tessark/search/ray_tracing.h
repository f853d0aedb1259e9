#pragma once

#include <optional>
#include <vector>

#include <tessark/geometry/basic_objects.h>

namespace brevane
{
    template < index_t D >
    class SurfaceMesh;
} // namespace brevane

namespace brevane
{
    // Collects where a segment meets the polygons of a 3D surface mesh, one
    // polygon at a time: the action of
    // AABBTree::compute_segment_element_bbox_intersections on the tree of
    // the mesh's polygons, or called directly on every polygon.
    //
    // Whether a triangle is hit is decided exactly, its boundary included:
    // a segment through an edge or a vertex shared by several triangles is
    // reported by each of them (the same point several times), so the hit
    // nearest to the origin is never lost in the gap between triangles.
    // A segment lying in the plane of a triangle it meets is reported at the
    // point of their overlap nearest to the origin. A polygon with more than
    // three vertices is split into the fan of triangles around its first
    // vertex and reported once, at its hit nearest to the origin.
    //
    // Not thread-safe: each thread walks with its own RayTracing3D.
    class RayTracing3D
    {
    public:
        struct PolygonDistance
        {
            index_t polygon;
            // From the origin to the point.
            double distance;
            Point3D point;
        };

        RayTracing3D( const SurfaceMesh< 3 >& mesh, const Point3D& origin,
            const Segment3D& segment );

        // Tests one polygon and records its hit; always returns false so
        // that a tree walk goes on to every candidate.
        bool operator()( index_t polygon );

        // Every hit, in the order the polygons were tested.
        [[nodiscard]] const std::vector< PolygonDistance >& all_intersections()
            const
        {
            return intersections_;
        }

        // The hit nearest to the origin (among equal distances, the smallest
        // polygon index); none when nothing was hit.
        [[nodiscard]] std::optional< PolygonDistance > closest_polygon() const;

    private:
        [[nodiscard]] std::optional< Point3D > triangle_hit(
            const Triangle3D& triangle ) const;

    private:
        const SurfaceMesh< 3 >& mesh_;
        Point3D origin_;
        Segment3D segment_;
        std::vector< PolygonDistance > intersections_;
    };
} // namespace brevane
