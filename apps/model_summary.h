#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <tessark/inspection/model_validation.h>
#include <tessark/model/structural_model.h>

// What a model holds and whether it is a consistent boundary
// representation, in a few lines.
namespace brevane::cli
{
    // The polygons of every surface mesh, by number of vertices.
    struct SurfacePolygonCounts
    {
        std::size_t triangles{ 0 };
        std::size_t quadrangles{ 0 };
        std::size_t others{ 0 };
    };

    [[nodiscard]] SurfacePolygonCounts count_surface_polygons(
        const StructuralModel& model );

    // The cells of one block mesh by kind, and their total volume.
    struct BlockCells
    {
        std::string block;
        std::size_t tetrahedra{ 0 };
        std::size_t pyramids{ 0 };
        std::size_t prisms{ 0 };
        std::size_t hexahedra{ 0 };
        double volume{ 0 };
    };

    // One record per block, in the model's order.
    [[nodiscard]] std::vector< BlockCells > block_cells(
        const StructuralModel& model );

    // "1200 (1100 prisms, 80 pyramids, 20 tetrahedra)"; the kinds with no
    // cell are left out.
    [[nodiscard]] std::string describe_cells( const BlockCells& cells );

    // How many components and collections of each kind a model holds.
    struct ModelCounts
    {
        SurfacePolygonCounts polygons;
        std::size_t surfaces{ 0 };
        std::size_t lines{ 0 };
        std::size_t corners{ 0 };
        std::size_t blocks{ 0 };
        std::size_t horizons{ 0 };
        std::size_t faults{ 0 };
    };

    [[nodiscard]] ModelCounts count_model( const StructuralModel& model );

    // "61 surfaces (11891 triangles), 100 lines, 52 corners, 12 blocks, 3
    // horizons, 2 faults"; quadrangles and other polygons are listed after
    // the triangles when there are some.
    [[nodiscard]] std::string describe_model( const ModelCounts& counts );
    [[nodiscard]] std::string describe_model( const StructuralModel& model );

    // "valid", or the number of problems.
    [[nodiscard]] std::string validation_verdict(
        const ModelValidationReport& report );

    // The first few problems, one per line under the prefix, then how many
    // more there are.
    void print_first_problems( std::ostream& out,
        const ModelValidationReport& report, std::string_view prefix );
} // namespace brevane::cli
