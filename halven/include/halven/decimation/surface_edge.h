#pragma once

#include <array>
#include <vector>

#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/surface_mesh.h>

namespace brevane
{
    // An edge of a surface named two ways: by a polygon edge holding it, and
    // by its two vertices in increasing order. The vertex pair identifies the
    // edge across changes that replace the polygons around it (a collapse,
    // a flip); the polygon edge is only where it was last seen.
    template < index_t D >
    struct SurfaceEdge
    {
        SurfaceEdge() = default;
        // The edge of the polygon edge, as the surface holds it now.
        SurfaceEdge( const SurfaceMesh< D >& surface, const PolygonEdge& edge );

        [[nodiscard]] bool operator==(
            const SurfaceEdge& other ) const = default;

        PolygonEdge polygon_edge;
        // vertices[0] < vertices[1].
        std::array< index_t, 2 > vertices{ NO_ID, NO_ID };
    };

    using SurfaceEdge2D = SurfaceEdge< 2 >;

    // One edge per polygon edge of the surface, polygon by polygon: an inner
    // edge comes twice, once from each of its polygons.
    template < index_t D >
    [[nodiscard]] std::vector< SurfaceEdge< D > > all_polygon_edges(
        const SurfaceMesh< D >& surface );
} // namespace brevane
