#pragma once

#include <array>

#include <absl/container/inlined_vector.h>

#include <tessark/geometry/bounding_box.h>

namespace brevane
{
    // Position of a cell along each axis of a grid.
    template < index_t D >
    using GridCellIndices = std::array< index_t, D >;

    // The cells holding one point: up to 2^D when the point lies on cell
    // boundaries.
    template < index_t D >
    using GridCellsAroundPoint =
        absl::InlinedVector< GridCellIndices< D >, ( std::size_t{ 1 } << D ) >;

    // An axis-aligned grid of cells described only by its origin (the min
    // corner of the first cell), its number of cells and its cell length per
    // axis: nothing is stored per cell. Cells are numbered along axis 0
    // first: index = i + n0 * ( j + n1 * k ).
    template < index_t D >
    class LightRegularGrid
    {
    public:
        // Throws when a count is zero, a length is not a finite positive
        // number, the origin is not finite, or the grid has 2^32 cells or
        // more (flat indices are index_t).
        LightRegularGrid( const Point< D >& origin,
            const std::array< index_t, D >& cells_number,
            const std::array< double, D >& cells_length );

        [[nodiscard]] const Point< D >& origin() const
        {
            return origin_;
        }
        [[nodiscard]] index_t nb_cells() const;
        [[nodiscard]] index_t nb_cells_in_direction( local_index_t axis ) const;
        [[nodiscard]] double cell_length_in_direction(
            local_index_t axis ) const;

        // Flat index of a cell; throws when an index is past its axis.
        [[nodiscard]] index_t cell_index(
            const GridCellIndices< D >& cell ) const;
        // Inverse of cell_index; throws when the index is past the last cell.
        [[nodiscard]] GridCellIndices< D > cell_indices( index_t index ) const;

        // The cells containing the point. A coordinate closer than
        // GLOBAL_EPSILON to a boundary between two cells puts the point in
        // the cells on both sides of it (up to 2^D cells); a point farther
        // than GLOBAL_EPSILON outside the grid is in no cell.
        [[nodiscard]] GridCellsAroundPoint< D > cells(
            const Point< D >& point ) const;
        // True when cells( point ) is not empty.
        [[nodiscard]] bool contains( const Point< D >& point ) const;

        [[nodiscard]] Point< D > cell_barycenter(
            const GridCellIndices< D >& cell ) const;
        [[nodiscard]] BoundingBox< D > cell_bounding_box(
            const GridCellIndices< D >& cell ) const;
        [[nodiscard]] BoundingBox< D > grid_bounding_box() const;

    private:
        void check_axis( local_index_t axis ) const;
        void check_cell( const GridCellIndices< D >& cell ) const;

    private:
        Point< D > origin_;
        std::array< index_t, D > cells_number_;
        std::array< double, D > cells_length_;
    };

    // A grid covering the box with cubic cells of side target_length,
    // centred on the box; every axis has at least one cell, so an axis of
    // zero extent gets one cell of side target_length. An extent passing a
    // whole number of cells by less than GLOBAL_EPSILON / 2 gets that number
    // of cells: the box may then stick out of the grid by GLOBAL_EPSILON / 4
    // on each side, which cells() and contains() still accept.
    //
    // When these cells would be more than max_nb_cells, the side becomes
    // target_length * f on every axis, where f is the smallest double for
    // which the number of cells is at most max_nb_cells. The number of
    // cells never grows with f, so f is found by bisection over the ordered
    // doubles between 1 and the factor giving a single cell.
    //
    // Throws on an empty or non-finite box, a target_length that is not a
    // finite positive number, or max_nb_cells equal to 0.
    template < index_t D >
    [[nodiscard]] LightRegularGrid< D >
    build_grid_from_bbox_target_length_and_maximum_cell_number(
        const BoundingBox< D >& box, double target_length,
        index_t max_nb_cells );

    using LightRegularGrid2D = LightRegularGrid< 2 >;
    using LightRegularGrid3D = LightRegularGrid< 3 >;
} // namespace brevane
