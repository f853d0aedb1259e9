#pragma once

#include <filesystem>
#include <string>

#include "model_file_mesh_arrays.h"

// Reading of the VTK XML files written by model_file_vtk_writer: the XML
// head is parsed, then every array is read at its offset in the raw
// appended data, checked against the size of the file.
namespace brevane::internal
{
    // The arrays of a PolyData file whose mesh is made of the given cells
    // (the other kinds of cells are not read). Throws a TessarkException
    // naming the file and the fault: missing, not a regular file or
    // unreadable, a point with a coordinate that is not finite, not a VTK XML
    // PolyData file with raw appended data, a missing array, an array that
    // does not fit the declared counts or runs past the end of the file,
    // offsets that decrease or do not end at the size of the connectivity.
    [[nodiscard]] MeshArrays read_vtk_polydata(
        const std::filesystem::path& file, PolyDataCells cells );

    // The arrays of an UnstructuredGrid file, with the same checks.
    [[nodiscard]] MeshArrays read_vtk_unstructured_grid(
        const std::filesystem::path& file );

    // The same, from the content of a file; file stands for it in messages.
    [[nodiscard]] MeshArrays parse_vtk_polydata( std::string content,
        const std::filesystem::path& file, PolyDataCells cells );
    [[nodiscard]] MeshArrays parse_vtk_unstructured_grid(
        std::string content, const std::filesystem::path& file );
} // namespace brevane::internal
