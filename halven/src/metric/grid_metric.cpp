#include <halven/metric/grid_metric.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace brevane::internal
{
    namespace
    {
        bool is_positive_finite( double value )
        {
            return std::isfinite( value ) && value > 0;
        }
    } // namespace

    template < index_t D >
    GridMetric< D >::Compare::Compare( int rule_number ) : rule( rule_number )
    {
        TESSARK_EXCEPTION( rule >= 0 && rule <= 2,
            "[GridMetric::Compare] Paint rule ", rule,
            " is not one of 0 (smaller), 1 (larger) or 2 (replace)" );
    }

    template < index_t D >
    GridMetric< D >::Smoothing::Smoothing( int kind_number )
        : kind( kind_number )
    {
        TESSARK_EXCEPTION( kind == 0, "[GridMetric::Smoothing] Smoothing ",
            kind, " is not 0 (gradation)" );
    }

    template < index_t D >
    GridMetric< D >::GridMetric(
        const LightRegularGrid< D >& grid, double default_value )
        : grid_( grid ), default_value_( default_value ),
          values_( grid.nb_cells(), default_value ),
          painted_( grid.nb_cells(), false )
    {
        TESSARK_EXCEPTION( is_positive_finite( default_value ),
            "[GridMetric] Default value must be finite and positive, got ",
            default_value );
    }

    template < index_t D >
    double GridMetric< D >::cell_value( index_t cell ) const
    {
        TESSARK_EXCEPTION( cell < values_.size(), "[GridMetric] Cell ", cell,
            " does not exist (", values_.size(), " cells)" );
        return values_[cell];
    }

    template < index_t D >
    bool GridMetric< D >::is_cell_painted( index_t cell ) const
    {
        TESSARK_EXCEPTION( cell < values_.size(), "[GridMetric] Cell ", cell,
            " does not exist (", values_.size(), " cells)" );
        return painted_[cell];
    }

    template < index_t D >
    void GridMetric< D >::paint_cell(
        const GridCellIndices< D >& cell, double value, const Compare& compare )
    {
        const auto index = grid_.cell_index( cell );
        auto& current = values_[index];
        if( !painted_[index] || compare.rule == 2 )
        {
            current = value;
        }
        else if( compare.rule == 0 )
        {
            current = std::min( current, value );
        }
        else
        {
            current = std::max( current, value );
        }
        painted_[index] = true;
    }

    template < index_t D >
    GridCellIndices< D > GridMetric< D >::clamped_cell(
        const Point< D >& point ) const
    {
        GridCellIndices< D > cell;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            const auto relative =
                ( point.value( axis ) - grid_.origin().value( axis ) )
                / grid_.cell_length_in_direction( axis );
            const auto last = grid_.nb_cells_in_direction( axis ) - 1;
            cell[axis] = static_cast< index_t >(
                std::clamp( std::floor( relative ), 0., double( last ) ) );
        }
        return cell;
    }

    template < index_t D >
    void GridMetric< D >::paint_segment(
        const Segment< D >& segment, double value, Compare compare )
    {
        TESSARK_EXCEPTION( is_positive_finite( value ),
            "[GridMetric::paint_segment] Value must be finite and positive, "
            "got ",
            value );
        const auto range =
            grid_.grid_bounding_box().segment_parameter_range( segment, 0 );
        if( range[0] > range[1] )
        {
            return;
        }
        const auto& origin = segment.vertices()[0];
        const auto direction = segment.direction();
        const auto start = origin + direction * range[0];
        const auto end = origin + direction * range[1];
        auto cell = clamped_cell( start );
        const auto last = clamped_cell( end );
        // Amanatides-Woo traversal from start to end: next_t is the segment
        // parameter (0 at start, 1 at end) where the next cell boundary is
        // crossed along each axis.
        std::array< int, D > steps{};
        std::array< double, D > next_t{};
        std::array< double, D > delta_t{};
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            const auto delta = end.value( axis ) - start.value( axis );
            const auto length = grid_.cell_length_in_direction( axis );
            const auto low = grid_.origin().value( axis ) + cell[axis] * length;
            if( delta > 0 )
            {
                steps[axis] = 1;
                next_t[axis] = ( low + length - start.value( axis ) ) / delta;
                delta_t[axis] = length / delta;
            }
            else if( delta < 0 )
            {
                steps[axis] = -1;
                next_t[axis] = ( low - start.value( axis ) ) / delta;
                delta_t[axis] = -length / delta;
            }
            else
            {
                next_t[axis] = std::numeric_limits< double >::infinity();
                delta_t[axis] = 0;
            }
        }
        const auto inside = [this]( const GridCellIndices< D >& candidate,
                                local_index_t axis, int step )
        {
            const auto moved =
                static_cast< long long >( candidate[axis] ) + step;
            return moved >= 0 && moved < grid_.nb_cells_in_direction( axis );
        };
        const index_t max_steps = grid_.nb_cells_in_direction( 0 )
                                  + grid_.nb_cells_in_direction( 1 ) + 2;
        for( index_t step = 0; step < max_steps; step++ )
        {
            paint_cell( cell, value, compare );
            if( cell == last || std::min( next_t[0], next_t[1] ) > 1 )
            {
                break;
            }
            const auto advance_x = next_t[0] <= next_t[1];
            const auto advance_y = next_t[1] <= next_t[0];
            if( advance_x && advance_y )
            {
                // Through a grid node: the two cells touching it paint too.
                for( local_index_t axis = 0; axis < D; axis++ )
                {
                    if( inside( cell, axis, steps[axis] ) )
                    {
                        auto side = cell;
                        side[axis] += steps[axis];
                        paint_cell( side, value, compare );
                    }
                }
            }
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                if( ( axis == 0 ? advance_x : advance_y )
                    && inside( cell, axis, steps[axis] ) )
                {
                    cell[axis] += steps[axis];
                    next_t[axis] += delta_t[axis];
                }
                else if( axis == 0 ? advance_x : advance_y )
                {
                    next_t[axis] = std::numeric_limits< double >::infinity();
                }
            }
        }
        paint_cell( last, value, compare );
    }

    template < index_t D >
    void GridMetric< D >::optimize( double factor, Smoothing smoothing )
    {
        TESSARK_EXCEPTION( std::isfinite( factor ) && factor >= 1,
            "[GridMetric::optimize] Factor must be a finite number of at "
            "least 1, got ",
            factor );
        if( smoothing.kind == 0 )
        {
            grade( factor );
        }
    }

    template < index_t D >
    void GridMetric< D >::grade( double factor )
    {
        const auto nb_x =
            static_cast< long long >( grid_.nb_cells_in_direction( 0 ) );
        const auto nb_y =
            static_cast< long long >( grid_.nb_cells_in_direction( 1 ) );
        const auto relax =
            [&]( long long i, long long j,
                const std::array< std::array< int, 2 >, 4 >& offsets )
        {
            auto& value = values_[static_cast< std::size_t >( j * nb_x + i )];
            bool changed{ false };
            for( const auto& offset : offsets )
            {
                const auto x = i + offset[0];
                const auto y = j + offset[1];
                if( x < 0 || x >= nb_x || y < 0 || y >= nb_y )
                {
                    continue;
                }
                const auto bound =
                    factor
                    * values_[static_cast< std::size_t >( y * nb_x + x )];
                if( bound < value )
                {
                    value = bound;
                    changed = true;
                }
            }
            return changed;
        };
        // The forward sweep takes from the cells already visited (left and
        // row below), the backward one from the others.
        const std::array< std::array< int, 2 >, 4 > before{ { { -1, 0 },
            { -1, -1 }, { 0, -1 }, { 1, -1 } } };
        const std::array< std::array< int, 2 >, 4 > after{ { { 1, 0 }, { 1, 1 },
            { 0, 1 }, { -1, 1 } } };
        bool changed{ true };
        while( changed )
        {
            changed = false;
            for( long long j = 0; j < nb_y; j++ )
            {
                for( long long i = 0; i < nb_x; i++ )
                {
                    changed = relax( i, j, before ) || changed;
                }
            }
            for( long long j = nb_y - 1; j >= 0; j-- )
            {
                for( long long i = nb_x - 1; i >= 0; i-- )
                {
                    changed = relax( i, j, after ) || changed;
                }
            }
        }
    }

    template < index_t D >
    double GridMetric< D >::metric(
        const Point< D >& point, const Vector< D >& ) const
    {
        return values_[grid_.cell_index( clamped_cell( point ) )];
    }

    template class GridMetric< 2 >;
} // namespace brevane::internal
