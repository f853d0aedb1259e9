#pragma once

#include <array>
#include <vector>

#include <tessark/model/structural_model.h>

namespace brevane::test
{
    // A closed tetrahedron as a boundary representation: four one-triangle
    // surfaces, six one-edge lines, four corners and one block, every vertex
    // bound to one of four unique vertices (unique vertex i is point i).
    // Surface i is the face opposite point i; line (a, b) joins points a < b
    // in the order (0,1) (0,2) (0,3) (1,2) (1,3) (2,3).
    struct Tetrahedron
    {
        Tetrahedron();

        StructuralModel model;
        std::array< uuid, 4 > corners;
        std::array< uuid, 6 > lines;
        std::array< uuid, 4 > surfaces;
        uuid block;
        std::array< Point3D, 4 > points;
    };

    // The uuids of the components, in order.
    [[nodiscard]] std::vector< uuid > ids_of(
        const std::vector< ComponentID >& components );

    // Removes every line and corner of the model.
    void remove_lines_and_corners( StructuralModel& model );
} // namespace brevane::test
