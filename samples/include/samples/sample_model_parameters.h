#pragma once

#include <cstdint>
#include <vector>

#include <tessark/basic/common.h>

namespace brevane
{
    // The box of a sample model: x in [0, length_x], y in [0, length_y],
    // between a flat reference bottom and the mean height of the
    // topography. Horizon depths and fault reference depths are measured
    // down from top_z.
    struct SampleBox
    {
        double length_x{ 1000 };
        double length_y{ 1000 };
        double bottom_z{ 0 };
        double top_z{ 500 };
    };

    enum struct TopographyKind : std::uint8_t
    {
        // Smooth random hills around the mean top height.
        hills,
        // Bilinear interpolation of a grid of heights given by the caller.
        height_grid
    };

    // Absolute topography heights on a regular grid spanning the whole box:
    // heights[i + j * nb_x] is the height at
    // ( i * length_x / ( nb_x - 1 ), j * length_y / ( nb_y - 1 ) ).
    struct HeightGrid
    {
        index_t nb_x{ 0 };
        index_t nb_y{ 0 };
        std::vector< double > heights;
    };

    struct TopographyParameters
    {
        TopographyKind kind{ TopographyKind::hills };
        // Hills stay strictly within top_z +- hills_amplitude; 0 gives a flat
        // topography.
        double hills_amplitude{ 25 };
        index_t nb_hills{ 5 };
        // Used when kind is height_grid; at least 2 x 2 heights.
        HeightGrid height_grid;
    };

    // A planar fault of the undeformed section, extruded along y: it crosses
    // the whole box from the topography to the bottom.
    struct FaultParameters
    {
        // Where the fault is at the reference depth (below top_z).
        double x_at_reference_depth{ 500 };
        double reference_depth{ 0 };
        // Angle from the horizontal, in (0, 90].
        double dip_degrees{ 70 };
        // Going down, the fault moves towards x max (true) or x min.
        bool dips_towards_x_max{ true };
        // Vertical offset of the horizons across the fault: the block on the
        // side the fault dips towards (the hanging wall) goes down by this
        // amount, a normal fault; a negative value raises it.
        double vertical_throw{ 20 };
    };

    // Target edge lengths of each kind of surface. A zero length takes the
    // default derived from target_top_triangles; the defaults of the kinds
    // differ from each other so that their meshes do not line up in plan
    // view.
    struct SampleResolution
    {
        // The approximate number of triangles of the whole topography.
        index_t target_top_triangles{ 2000 };
        double topography_edge_length{ 0 };
        // One length per horizon, or empty for the defaults.
        std::vector< double > horizon_edge_lengths;
        double fault_edge_length{ 0 };
        double side_edge_length{ 0 };
        double bottom_edge_length{ 0 };
        // Random displacement of the inner samples of every row and column,
        // as a fraction of their spacing, in [0, 0.8]: 0 gives regular grids.
        double jitter{ 0.25 };
    };

    // A box model built as a vertical (x, z) section extruded along y: the
    // topography and the bottom flat at top_z and bottom_z, flat horizons,
    // straight faults from top to bottom; then every point moves vertically
    // by the relief of the topography and of the bottom, weighted by its
    // height in the box, so that the horizons follow the topography the more
    // the closer they are to it and never cross each other, and the faults
    // bend with them.
    struct SampleModelParameters
    {
        SampleBox box;
        TopographyParameters topography;
        // Ignored when horizon_depths is given.
        index_t nb_horizons{ 2 };
        // Depths below top_z of the horizons in fault block 0, strictly
        // increasing. Empty spaces nb_horizons evenly, within the depths that
        // keep every horizon inside the box in every fault block.
        std::vector< double > horizon_depths;
        // Ordered from x min to x max; they must not cross inside the box.
        std::vector< FaultParameters > faults;
        // The bottom bulges up by this amount in the middle of the box (down
        // when negative); 0 keeps it flat.
        double bottom_amplitude{ 0 };
        SampleResolution resolution;
        // Drives the hills and the jitter: a given parameter record always
        // gives the same meshes.
        std::uint64_t seed{ 1 };
    };

    // Faults at evenly spaced positions across the box at mid-depth, all
    // dipping towards x max, with dips from 64 to 76 degrees and throws of 4
    // to 8 percent of the box height. Up to three of them stay clear of each
    // other and of the sides in any box at least as wide as it is high.
    [[nodiscard]] std::vector< FaultParameters > spread_faults(
        const SampleBox& box, index_t nb_faults );
} // namespace brevane
