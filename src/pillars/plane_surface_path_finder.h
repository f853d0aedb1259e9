#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <tessark/geometry/basic_objects.h>
#include <tessark/geometry/intersection_detection.h>
#include <tessark/mesh/mesh_element.h>
#include <tessark/model/components.h>

#include <halven/path/surface_path_finder.h>

#include <pillar/varnholt_pillar_export.h>

// The cut of one side wall by a vertical plane, followed crossing after
// crossing through the wall's triangles.
namespace brevane::internal
{
    // One crossing of the cutting plane with a wall's triangle mesh. A step
    // is at a vertex when `vertex` is set, otherwise on an edge.
    struct PathStep
    {
        [[nodiscard]] bool operator==( const PathStep& other ) const = default;
        [[nodiscard]] bool is_at_vertex() const
        {
            return vertex != NO_ID;
        }
        template < typename H >
        friend H AbslHashValue( H hash, const PathStep& step )
        {
            return H::combine(
                std::move( hash ), step.edge, step.position, step.vertex );
        }

        // The crossed polygon edge; none (NO_ID, NO_LID) for a start at a
        // vertex.
        PolygonEdge edge{ NO_ID, NO_LID };
        // Where the plane meets the edge's segment; outside (0) for a start
        // at a vertex.
        POSITION position{ POSITION::outside };
        // The mesh vertex the crossing is at, NO_ID when it is not at one.
        index_t vertex{ NO_ID };
    };

    // The steps of a cut, from its start to the last crossing found.
    using SurfacePath = std::vector< PathStep >;

    // Which way a cut through a vertex goes on: the branch of the cut below
    // the vertex, or the one above it.
    enum struct CutDirection : std::uint8_t
    {
        down,
        up
    };

    // Follows the cut of a wall's mesh by a vertical plane, down or up. From
    // a vertex, the cut goes on through the lowest crossing below the
    // vertex (the highest above it) among the edges facing it: the way comes
    // from the heights alone, so the wall may be wound either way. Once the cut is
    // inside a polygon (a triangle, or the convex quadrangles of a rebuilt
    // side wall), it leaves through the first other edge it crosses, and
    // adjacency leads it on. The wall and the plane are borrowed: they must
    // outlive the finder.
    class VARNHOLT_PILLAR_EXPORT PlaneSurfacePathFinder
        : public SurfacePathFinder< 3 >
    {
    public:
        // The wall is named in errors.
        PlaneSurfacePathFinder( const Surface< 3 >& wall, const Plane& plane,
            CutDirection direction );

        // The path from the start step (at a vertex, or on an edge whose
        // polygon the cut enters) to the last crossing before the cut
        // leaves the mesh or finds no way on; none when no step follows the
        // start. Throws a TessarkException naming the wall when the path
        // takes more steps than the mesh has edges: the cut closes on
        // itself.
        [[nodiscard]] std::optional< SurfacePath > find_path(
            const PathStep& start ) const;

        // The crossing reached from the vertex in the finder's direction: of
        // the edges facing it that meet the plane, the one crossing it
        // lowest below the vertex going down, highest above it going up (the
        // first in the order of polygons_around_vertex on equal heights);
        // none when no crossing lies that way.
        [[nodiscard]] std::optional< PathStep > step_from_vertex(
            index_t vertex ) const;

        // The crossing where the cut leaves the polygon of the edge: its
        // previous edge, else its next edge, when it meets the plane.
        [[nodiscard]] std::optional< PathStep > step_through_polygon(
            const PolygonEdge& edge ) const;

    private:
        [[nodiscard]] std::optional< PathStep > next_step(
            const SurfacePath& path ) const;
        // The step crossing the edge, none when the edge misses the plane.
        [[nodiscard]] std::optional< PathStep > crossing(
            const PolygonEdge& edge ) const;

        const Surface< 3 >& wall_;
        const Plane& plane_;
        CutDirection direction_;
    };
} // namespace brevane::internal
