#pragma once

#include <array>
#include <vector>

#include <tessark/basic/common.h>

#include "sample_resolution.h"

namespace brevane
{
    // One side of a section face: vertex indices of the caller and their
    // positions along the side (x for the top and bottom, z for the left and
    // right sides), strictly increasing.
    struct FaceSide
    {
        std::vector< index_t > vertices;
        std::vector< double > positions;
    };

    // A convex quadrilateral face of the (x, z) section with horizontal top
    // and bottom sides: its corners and the vertices of its four sides, the
    // top and bottom ones from left to right, the left and right ones from
    // the bottom up, sharing the corner vertices.
    struct SectionFaceBoundary
    {
        std::array< double, 2 > top_left{};
        std::array< double, 2 > top_right{};
        std::array< double, 2 > bottom_left{};
        std::array< double, 2 > bottom_right{};
        FaceSide top;
        FaceSide bottom;
        FaceSide left;
        FaceSide right;
    };

    // The inner points (x, z) of a face mesh and its triangles, which turn
    // counter-clockwise in (x, z). Inner point k is vertex first_inner + k.
    struct SectionFaceMesh
    {
        std::vector< std::array< double, 2 > > inner_points;
        std::vector< std::array< index_t, 3 > > triangles;
    };

    // Meshes a face with a grid of inner points at about edge_length apart,
    // inset from the boundary, each row and column of the grid straight, and
    // a ring of strips joining the grid to the boundary vertices: each
    // strip lies between one side and the grid row or column facing it, so
    // that all its triangles keep the boundary samplings and none is flat.
    [[nodiscard]] SectionFaceMesh triangulate_section_face(
        const SectionFaceBoundary& boundary, index_t first_inner,
        double edge_length, const SampleDraw& rows, const SampleDraw& columns );
} // namespace brevane
