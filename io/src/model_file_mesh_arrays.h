#pragma once

#include <cstdint>
#include <vector>

#include <tessark/basic/common.h>

namespace brevane::internal
{
    // The VTK cell types of model files.
    inline constexpr std::uint8_t VTK_VERTEX = 1;
    inline constexpr std::uint8_t VTK_LINE = 3;
    inline constexpr std::uint8_t VTK_POLYGON = 7;
    inline constexpr std::uint8_t VTK_TETRA = 10;
    inline constexpr std::uint8_t VTK_HEXAHEDRON = 12;
    inline constexpr std::uint8_t VTK_WEDGE = 13;
    inline constexpr std::uint8_t VTK_PYRAMID = 14;

    // Which cells of a VTK PolyData file hold a mesh: vertices for corners,
    // segments for lines, polygons for surfaces.
    enum struct PolyDataCells : std::uint8_t
    {
        verts,
        lines,
        polys
    };

    // The arrays of one component mesh file, laid out as VTK stores them.
    struct MeshArrays
    {
        [[nodiscard]] index_t nb_points() const
        {
            return static_cast< index_t >( points.size() / 3 );
        }
        [[nodiscard]] index_t nb_cells() const
        {
            return static_cast< index_t >( offsets.size() );
        }
        // Where cell c starts in connectivity.
        [[nodiscard]] std::int64_t cell_begin( index_t cell ) const
        {
            return cell == 0 ? 0 : offsets[cell - 1];
        }

        // x, y and z of every vertex.
        std::vector< double > points;
        // The vertices of every cell one after the other; offsets[c] is the
        // end of cell c in connectivity (VTK's layout, without a leading
        // zero), so offsets never decrease and the last one is the size of
        // connectivity.
        std::vector< std::int64_t > connectivity;
        std::vector< std::int64_t > offsets;
        // The VTK type of every cell; unstructured grids only.
        std::vector< std::uint8_t > cell_types;
        // Per vertex: its unique vertex (NO_ID when unbound), and its
        // position among the component vertices of that unique vertex (0
        // when unbound).
        std::vector< std::uint32_t > unique_vertices;
        std::vector< std::uint32_t > unique_vertex_ranks;
    };
} // namespace brevane::internal
