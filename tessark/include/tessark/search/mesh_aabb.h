#pragma once

#include <tessark/search/aabb.h>

namespace brevane
{
    template < index_t D >
    class EdgedCurve;
    template < index_t D >
    class SurfaceMesh;
    template < index_t D >
    class PointSet;
} // namespace brevane

// Trees over the elements of a mesh: the element index of the tree is the
// index of the edge, polygon or vertex in the mesh. A tree is a snapshot: it
// must be rebuilt once the mesh is modified.
namespace brevane
{
    // One box per edge.
    template < index_t D >
    [[nodiscard]] AABBTree< D > create_aabb_tree( const EdgedCurve< D >& mesh );

    // One box per polygon.
    template < index_t D >
    [[nodiscard]] AABBTree< D > create_aabb_tree(
        const SurfaceMesh< D >& mesh );

    // One point box per vertex.
    template < index_t D >
    [[nodiscard]] AABBTree< D > create_aabb_tree( const PointSet< D >& mesh );
} // namespace brevane
