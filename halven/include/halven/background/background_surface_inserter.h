#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <tessark/basic/uuid.h>
#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/point_set.h>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_modifier.h>

namespace brevane::internal
{
    // What an insertion made of its input.
    struct ElementInsertionInfo
    {
        // For each input vertex, the background vertex it landed on; NO_ID
        // for a curve vertex that no edge uses.
        std::vector< index_t > vertices;
        // The background vertices the insertion created, in creation order.
        std::vector< index_t > created_vertices;
        // For each curve edge, the unique edges of its chain from its first
        // vertex to its second, as they were when the edge was inserted
        // (later insertions may split them); empty for an edge whose two
        // ends landed on one vertex.
        std::vector< std::vector< index_t > > chains;
    };

    // Conforming insertion of points and curves into a background surface:
    // the triangulation is refined locally, never rebuilt, so that every
    // inserted point is a vertex and every inserted curve edge a chain of
    // edges.
    //
    // A point closer than GLOBAL_EPSILON to a vertex lands on that vertex;
    // otherwise a point closer than GLOBAL_EPSILON to an edge splits the
    // edge at its projection on it; otherwise the point splits the triangle
    // containing it. A point neither inside the triangulation nor that close
    // to it makes the insertion throw a TessarkException naming the point,
    // before anything is changed.
    //
    // A curve edge is inserted from its first end vertex: at each step the
    // chain either follows an existing edge to a vertex lying closer than
    // GLOBAL_EPSILON to the rest of the segment (segments along existing
    // edges and through vertices reuse them), or splits the edge it crosses
    // at the crossing point (exact orientation tests choose the triangle
    // crossed), until it reaches the vertex of its second end. A segment
    // leaving the triangulation (across a border or a hole) makes the
    // insertion throw, leaving the chain built so far.
    //
    // Records: the vertex of each inserted point or curve end gets
    // (id, input vertex); every edge of the chain of curve edge e gets
    // (id, e); split edges and triangles pass their records on (see
    // BackgroundSurfaceModifier).
    //
    // Points are located through a box tree of the triangles the surface had
    // when the inserter was created; as insertion only splits triangles,
    // every triangle stays inside the one of the same index it comes from,
    // and a walk from there reaches the point. The surface must be changed
    // only through this inserter while it is in use.
    class BackgroundSurfaceInserter
    {
    public:
        BackgroundSurfaceInserter(
            std::pair< BackgroundSurface&, BackgroundSurfaceModifier& > background,
            BackgroundSurfaceBuilder& builder );
        ~BackgroundSurfaceInserter();

        BackgroundSurfaceInserter( const BackgroundSurfaceInserter& ) = delete;
        BackgroundSurfaceInserter& operator=(
            const BackgroundSurfaceInserter& ) = delete;

        // Inserts every vertex of the point set; `id` is the identity of the
        // point set in the records.
        ElementInsertionInfo insert_point_set(
            const PointSet2D& points, const uuid& id );
        // Inserts every edge of the curve; `id` is the identity of the curve
        // in the records. Edges may be disjoint (consecutive edges repeating
        // their shared point), overlap existing chains or each other.
        ElementInsertionInfo insert_curve(
            const EdgedCurve2D& curve, const uuid& id );

    private:
        class Impl;
        std::unique_ptr< Impl > impl_;
    };
} // namespace brevane::internal
