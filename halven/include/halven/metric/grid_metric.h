#pragma once

#include <vector>

#include <tessark/geometry/basic_objects.h>
#include <tessark/search/regular_grid.h>

namespace brevane::internal
{
    // An isotropic target edge length per cell of a regular grid of the
    // plane, painted from the edges of a triangulation and graded so that
    // it varies smoothly.
    template < index_t D >
    class GridMetric
    {
        static_assert( D == 2, "Grid metrics are defined in the plane" );

    public:
        // How a painted value combines with the value of a cell, given by
        // its number as callers pass it:
        // - 0: the smaller of the two;
        // - 1: the larger of the two;
        // - 2: the painted value.
        // Whatever the rule, a cell never painted yet (still at the default
        // value) takes the painted value. Other numbers are refused.
        struct Compare
        {
            // Implicit, so that callers may pass the number.
            Compare( int rule_number );

            int rule;
        };

        // How optimize changes the values, given by its number:
        // - 0: gradation: values only decrease, to the largest values such
        //   that no cell exceeds `factor` times any of its 8 neighbours
        //   (sharing a side or a corner). Each value becomes the minimum,
        //   over all cells, of that cell's value times factor^d, where d is
        //   the number of steps between the cells in the 8-neighbourhood
        //   (the larger of the row and column differences). It is computed
        //   by forward and backward raster sweeps repeated until no value
        //   changes (two or three rounds in practice).
        // Other numbers are refused.
        struct Smoothing
        {
            // Implicit, so that callers may pass the number.
            Smoothing( int kind_number );

            int kind;
        };

        // Every cell starts at the default value, unpainted. Throws when the
        // default is not a finite positive number.
        GridMetric( const LightRegularGrid< D >& grid, double default_value );

        [[nodiscard]] const LightRegularGrid< D >& grid() const
        {
            return grid_;
        }
        [[nodiscard]] double cell_value( index_t cell ) const;
        [[nodiscard]] bool is_cell_painted( index_t cell ) const;

        // Paints every cell the closed segment passes through, corners
        // included (a segment through a grid node paints the cells on both
        // sides of its path there). The part of the segment outside the grid
        // paints nothing. Throws when the value is not a finite positive
        // number.
        void paint_segment(
            const Segment< D >& segment, double value, Compare compare );

        // Throws when the factor is not a finite number of at least 1.
        void optimize( double factor, Smoothing smoothing );

        // The target length at the point: the value of the cell holding it
        // (a point on a cell boundary takes the cell of larger index, a
        // point outside the grid the nearest cell). The metric is isotropic:
        // the direction is ignored.
        [[nodiscard]] double metric(
            const Point< D >& point, const Vector< D >& direction ) const;

    private:
        void paint_cell( const GridCellIndices< D >& cell,
            double value,
            const Compare& compare );
        [[nodiscard]] GridCellIndices< D > clamped_cell(
            const Point< D >& point ) const;
        void grade( double factor );

        LightRegularGrid< D > grid_;
        double default_value_;
        std::vector< double > values_;
        std::vector< bool > painted_;
    };

    using GridMetric2D = GridMetric< 2 >;
} // namespace brevane::internal
