#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model_file_mesh_arrays.h"

// Writing of VTK XML files: one piece, every array in binary raw appended
// data (UInt64 headers, little endian), nothing written per value as text.
namespace brevane::internal
{
    // A VTK XML PolyData file (".vtp") whose cells are of the given kind.
    // Written under a temporary name then renamed (see FileReplacement);
    // throws a TessarkException naming the file when it cannot be written.
    void write_vtk_polydata( const std::filesystem::path& file,
        const MeshArrays& arrays, PolyDataCells cells );

    // A VTK XML UnstructuredGrid file (".vtu").
    void write_vtk_unstructured_grid(
        const std::filesystem::path& file, const MeshArrays& arrays );

    // One dataset of a multiblock file: its name, and its file relative to
    // the folder of the multiblock file.
    struct MultiblockDataSet
    {
        std::string name;
        std::string file;
    };

    // A named block of datasets.
    struct MultiblockGroup
    {
        std::string name;
        std::vector< MultiblockDataSet > datasets;
    };

    // The text of a VTK XML multiblock file (".vtm"): one block per group,
    // holding its datasets, so that ParaView shows them as a tree.
    [[nodiscard]] std::string vtk_multiblock_text(
        const std::vector< MultiblockGroup >& groups );
} // namespace brevane::internal
