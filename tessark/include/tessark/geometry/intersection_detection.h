#pragma once

#include <cstdint>
#include <utility>

#include <tessark/geometry/basic_objects.h>

// Exact detection of where two objects meet, decided with the exact
// predicates of predicates.h only (no tolerance, no constructed point).
namespace brevane
{
    // Where on an object (segment or triangle) another object meets it.
    enum struct POSITION : std::uint8_t
    {
        // The objects do not meet.
        outside = 0,
        // Strictly inside: between the ends of a segment, in the interior of
        // a triangle.
        inside = 1,
        // Exactly at the first vertex (of a segment or a triangle).
        vertex0 = 2,
        // Exactly at the second vertex.
        vertex1 = 3,
        // Exactly at the third vertex of a triangle.
        vertex2 = 4,
        // Strictly inside triangle edge 0, from vertex 0 to vertex 1.
        edge0 = 5,
        // Strictly inside triangle edge 1, from vertex 1 to vertex 2.
        edge1 = 6,
        // Strictly inside triangle edge 2, from vertex 2 to vertex 0.
        edge2 = 7,
        // No single meeting point: the segment lies in the plane, or in the
        // plane of the triangle and meets it, or collinear segments share
        // more than one point.
        parallel = 8
    };

    // Where on the segment the plane meets it: inside (strictly between its
    // ends), vertex0 or vertex1 (the plane goes through that end and not
    // through the other), parallel (the whole segment lies in the plane) or
    // outside (both ends strictly on the same side, which includes a segment
    // parallel to the plane and off it). A zero-length segment gives parallel
    // when its point lies in the plane, outside otherwise. Throws on a plane
    // with a zero normal.
    [[nodiscard]] POSITION segment_plane_intersection_detection(
        const Segment3D& segment, const Plane& plane );

    // ( where on the segment, where on the triangle ) the two meet; the
    // triangle's boundary is part of it, so a segment through an edge or a
    // vertex shared by several triangles is seen by each of them.
    // - Segment crossing or touching the triangle's plane at one point:
    //   inside / vertex0 / vertex1 on the segment (vertex when that end lies
    //   in the plane), and inside / edgeN / vertexN on the triangle.
    // - Segment lying in the triangle's plane (zero-length segments
    //   included): ( parallel, parallel ) when it meets the closed
    //   triangle, ( outside, outside ) otherwise.
    // - No common point: ( outside, outside ).
    // A degenerate triangle (collinear vertices, see is_triangle_degenerate)
    // has no interior and gives ( outside, outside ): its points belong to
    // the edges of its non-degenerate neighbours.
    [[nodiscard]] std::pair< POSITION, POSITION >
    segment_triangle_intersection_detection(
        const Segment3D& segment, const Triangle3D& triangle );

    // ( where on segment0, where on segment1 ) the two closed segments meet:
    // inside / vertex0 / vertex1 on each when they share a single point
    // (collinear segments touching by one end and zero-length segments
    // included; a zero-length segment is at its vertex0), ( parallel,
    // parallel ) when collinear segments share more than one point,
    // ( outside, outside ) when they do not meet.
    [[nodiscard]] std::pair< POSITION, POSITION >
    segment_segment_intersection_detection(
        const Segment2D& segment0, const Segment2D& segment1 );
} // namespace brevane
