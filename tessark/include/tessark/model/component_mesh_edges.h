#pragma once

#include <array>
#include <utility>
#include <vector>

#include <tessark/mesh/mesh_element.h>
#include <tessark/model/brep.h>

namespace brevane
{
    // The copies of one edge of a surface mesh in every surface and line of
    // the model that holds both of its unique vertices as an edge. Surfaces
    // and lines are listed in the order in which the first unique vertex
    // lists their component vertices; a surface lists every polygon edge
    // joining the two vertices (one per side for an inner edge).
    struct ComponentMeshEdges
    {
        std::vector< std::pair< uuid, std::vector< PolygonEdge > > >
            surface_edges;
        std::vector< std::pair< uuid, std::vector< index_t > > > line_edges;
    };

    // The unique vertices of the two ends of a polygon edge, in polygon
    // order; NO_ID for an end bound to nothing.
    [[nodiscard]] std::array< index_t, 2 > edge_unique_vertices(
        const BRep& model,
        const Surface< 3 >& surface,
        const PolygonEdge& edge );

    [[nodiscard]] ComponentMeshEdges component_mesh_edges(
        const BRep& model,
        const Surface< 3 >& surface,
        const PolygonEdge& edge );
} // namespace brevane
