#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <samples/sample_model_parameters.h>

#include "sample_resolution.h"

namespace brevane
{
    enum struct SectionEdgeKind : std::uint8_t
    {
        top,
        horizon,
        bottom,
        fault,
        side_x_min,
        side_x_max
    };

    // A point of the undeformed (x, z) section where section edges meet; it
    // becomes a line along y with a corner at each end.
    struct SectionNode
    {
        double x{ 0 };
        double z{ 0 };
        std::string name;
    };

    // A straight segment between two nodes; extruded along y it becomes a
    // surface, and it is drawn as a line on each y side.
    struct SectionEdge
    {
        // Left to right for the topography, horizons and bottom, top down for
        // faults and x sides.
        index_t from{ NO_ID };
        index_t to{ NO_ID };
        SectionEdgeKind kind{ SectionEdgeKind::top };
        // Target edge length of its surface mesh.
        double edge_length{ 0 };
        std::string name;
    };

    // The section of one block: a convex quadrilateral between a top and a
    // bottom edge, closed on each side by the edges of a fault or an x side.
    struct SectionFace
    {
        index_t block{ 0 };
        index_t layer{ 0 };
        index_t top_edge{ NO_ID };
        index_t bottom_edge{ NO_ID };
        // From the top down.
        std::vector< index_t > left_edges;
        std::vector< index_t > right_edges;
    };

    // The planar arrangement of the undeformed section: the topography and
    // the bottom flat at top_z and bottom_z, the horizons flat at their
    // depths offset by the throws, the faults straight from top to bottom.
    struct Section
    {
        std::vector< SectionNode > nodes;
        std::vector< SectionEdge > edges;
        // Block by block, layer by layer from the top.
        std::vector< SectionFace > faces;
        index_t nb_blocks{ 0 };
        index_t nb_layers{ 0 };
        // Edge ids: top_edges[block], bottom_edges[block],
        // horizon_edges[horizon][block], fault_edges[fault] from the top
        // down, side edges from the top down.
        std::vector< index_t > top_edges;
        std::vector< index_t > bottom_edges;
        std::vector< std::vector< index_t > > horizon_edges;
        std::vector< std::vector< index_t > > fault_edges;
        std::vector< index_t > side_x_min_edges;
        std::vector< index_t > side_x_max_edges;
    };

    // Builds the section of checked parameters. Throws a TessarkException
    // naming the horizon, fault and block when a horizon leaves the box in a
    // fault block, when faults come too close to each other or to the sides,
    // or when two different lines meet a fault too close to each other.
    [[nodiscard]] Section build_section(
        const SampleModelParameters& parameters,
        const SurfaceEdgeLengths& edge_lengths );
} // namespace brevane
