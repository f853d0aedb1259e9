#include <tessark/search/regular_grid.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace
{
    // Cells along one axis of extent `extent` with cells of side `length`:
    // an extent passing a whole number of cells by less than half the
    // tolerance gets that number, so that rounding in extent / length adds
    // no sliver cell, while the part left out (a quarter of the tolerance on
    // each side of a centred grid) stays within the tolerance of
    // LightRegularGrid::cells. The result is a double because a tiny length
    // gives counts past index_t.
    double nb_cells_on_axis( double extent, double length )
    {
        return std::max( 1.,
            std::ceil( ( extent - 0.5 * brevane::GLOBAL_EPSILON ) / length ) );
    }

    template < brevane::index_t D >
    double nb_cells_with_length(
        const brevane::Point< D >& extents, double length )
    {
        double count{ 1 };
        for( brevane::local_index_t axis = 0; axis < D; axis++ )
        {
            count *= nb_cells_on_axis( extents.value( axis ), length );
        }
        return count;
    }

    // The smallest factor f >= 1 such that cells of side length * f are at
    // most max_nb_cells. The count never grows with f and positive doubles
    // are ordered like their bit patterns, so a bisection on the bit
    // patterns finds the exact smallest double.
    template < brevane::index_t D >
    double smallest_growth_factor( const brevane::Point< D >& extents,
        double length, brevane::index_t max_nb_cells )
    {
        const auto max_count = static_cast< double >( max_nb_cells );
        if( nb_cells_with_length( extents, length ) <= max_count )
        {
            return 1;
        }
        double largest_extent{ 0 };
        for( brevane::local_index_t axis = 0; axis < D; axis++ )
        {
            largest_extent = std::max( largest_extent, extents.value( axis ) );
        }
        // Past this factor every axis has a single cell.
        const auto single_cell_factor =
            std::max( 1., 2 * ( largest_extent / length ) );
        auto low = std::bit_cast< std::uint64_t >( 1. );
        auto high = std::bit_cast< std::uint64_t >( single_cell_factor );
        while( high - low > 1 )
        {
            const auto middle = low + ( high - low ) / 2;
            const auto factor = std::bit_cast< double >( middle );
            if( nb_cells_with_length( extents, length * factor ) <= max_count )
            {
                high = middle;
            }
            else
            {
                low = middle;
            }
        }
        return std::bit_cast< double >( high );
    }
} // namespace

namespace brevane
{
    template < index_t D >
    LightRegularGrid< D >::LightRegularGrid( const Point< D >& origin,
        const std::array< index_t, D >& cells_number,
        const std::array< double, D >& cells_length )
        : origin_( origin ), cells_number_( cells_number ),
          cells_length_( cells_length )
    {
        std::uint64_t total{ 1 };
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            TESSARK_EXCEPTION( std::isfinite( origin.value( axis ) ),
                "[LightRegularGrid] Origin is not finite: ", origin.string() );
            TESSARK_EXCEPTION( cells_number[axis] > 0,
                "[LightRegularGrid] No cell along axis ", axis );
            TESSARK_EXCEPTION(
                std::isfinite( cells_length[axis] ) && cells_length[axis] > 0,
                "[LightRegularGrid] Cell length along axis ", axis,
                " must be finite and positive, got ", cells_length[axis] );
            total *= cells_number[axis];
            TESSARK_EXCEPTION( total <= NO_ID,
                "[LightRegularGrid] Too many cells: more than ", NO_ID,
                " after axis ", axis );
        }
    }

    template < index_t D >
    index_t LightRegularGrid< D >::nb_cells() const
    {
        index_t total{ 1 };
        for( const auto count : cells_number_ )
        {
            total *= count;
        }
        return total;
    }

    template < index_t D >
    void LightRegularGrid< D >::check_axis( local_index_t axis ) const
    {
        TESSARK_EXCEPTION( axis < D, "[LightRegularGrid] Axis ", axis,
            " does not exist in dimension ", D );
    }

    template < index_t D >
    void LightRegularGrid< D >::check_cell(
        const GridCellIndices< D >& cell ) const
    {
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            TESSARK_EXCEPTION( cell[axis] < cells_number_[axis],
                "[LightRegularGrid] Cell index ", cell[axis], " along axis ",
                axis, " is past the last cell (", cells_number_[axis],
                " cells)" );
        }
    }

    template < index_t D >
    index_t LightRegularGrid< D >::nb_cells_in_direction(
        local_index_t axis ) const
    {
        check_axis( axis );
        return cells_number_[axis];
    }

    template < index_t D >
    double LightRegularGrid< D >::cell_length_in_direction(
        local_index_t axis ) const
    {
        check_axis( axis );
        return cells_length_[axis];
    }

    template < index_t D >
    index_t LightRegularGrid< D >::cell_index(
        const GridCellIndices< D >& cell ) const
    {
        check_cell( cell );
        index_t index{ 0 };
        for( local_index_t axis = D; axis-- > 0; )
        {
            index = index * cells_number_[axis] + cell[axis];
        }
        return index;
    }

    template < index_t D >
    GridCellIndices< D > LightRegularGrid< D >::cell_indices(
        index_t index ) const
    {
        TESSARK_EXCEPTION( index < nb_cells(), "[LightRegularGrid] Cell ",
            index, " is past the last cell (", nb_cells(), " cells)" );
        GridCellIndices< D > cell;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            cell[axis] = index % cells_number_[axis];
            index /= cells_number_[axis];
        }
        return cell;
    }

    template < index_t D >
    GridCellsAroundPoint< D > LightRegularGrid< D >::cells(
        const Point< D >& point ) const
    {
        std::array< absl::InlinedVector< index_t, 2 >, D > axis_cells;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            const auto length = cells_length_[axis];
            const auto count = cells_number_[axis];
            const auto relative = point.value( axis ) - origin_.value( axis );
            if( !( relative >= -GLOBAL_EPSILON
                    && relative <= count * length + GLOBAL_EPSILON ) )
            {
                return {};
            }
            const auto boundary = std::clamp(
                std::round( relative / length ), 0., double( count ) );
            if( std::abs( relative - boundary * length ) <= GLOBAL_EPSILON )
            {
                const auto line = static_cast< index_t >( boundary );
                if( line > 0 )
                {
                    axis_cells[axis].push_back( line - 1 );
                }
                if( line < count )
                {
                    axis_cells[axis].push_back( line );
                }
            }
            else
            {
                axis_cells[axis].push_back( static_cast< index_t >(
                    std::clamp( std::floor( relative / length ), 0.,
                        double( count - 1 ) ) ) );
            }
        }
        GridCellsAroundPoint< D > result{ GridCellIndices< D >{} };
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            GridCellsAroundPoint< D > extended;
            for( const auto& partial : result )
            {
                for( const auto index : axis_cells[axis] )
                {
                    auto cell = partial;
                    cell[axis] = index;
                    extended.push_back( cell );
                }
            }
            result = std::move( extended );
        }
        return result;
    }

    template < index_t D >
    bool LightRegularGrid< D >::contains( const Point< D >& point ) const
    {
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            const auto relative = point.value( axis ) - origin_.value( axis );
            if( !( relative >= -GLOBAL_EPSILON
                    && relative <= cells_number_[axis] * cells_length_[axis]
                                       + GLOBAL_EPSILON ) )
            {
                return false;
            }
        }
        return true;
    }

    template < index_t D >
    Point< D > LightRegularGrid< D >::cell_barycenter(
        const GridCellIndices< D >& cell ) const
    {
        check_cell( cell );
        Point< D > center;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            center.set_value(
                axis, origin_.value( axis )
                          + ( cell[axis] + 0.5 ) * cells_length_[axis] );
        }
        return center;
    }

    template < index_t D >
    BoundingBox< D > LightRegularGrid< D >::cell_bounding_box(
        const GridCellIndices< D >& cell ) const
    {
        check_cell( cell );
        Point< D > min;
        Point< D > max;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            const auto start = origin_.value( axis );
            min.set_value( axis, start + cell[axis] * cells_length_[axis] );
            max.set_value(
                axis, start + ( cell[axis] + 1. ) * cells_length_[axis] );
        }
        BoundingBox< D > box;
        box.add_point( min );
        box.add_point( max );
        return box;
    }

    template < index_t D >
    BoundingBox< D > LightRegularGrid< D >::grid_bounding_box() const
    {
        Point< D > max;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            max.set_value(
                axis, origin_.value( axis )
                          + cells_number_[axis] * cells_length_[axis] );
        }
        BoundingBox< D > box;
        box.add_point( origin_ );
        box.add_point( max );
        return box;
    }

    template < index_t D >
    LightRegularGrid< D >
    build_grid_from_bbox_target_length_and_maximum_cell_number(
        const BoundingBox< D >& box, double target_length,
        index_t max_nb_cells )
    {
        TESSARK_EXCEPTION( !box.empty(),
            "[build_grid_from_bbox_target_length_and_maximum_cell_number] "
            "Empty box" );
        TESSARK_EXCEPTION( std::isfinite( target_length ) && target_length > 0,
            "[build_grid_from_bbox_target_length_and_maximum_cell_number] "
            "Target length must be finite and positive, got ",
            target_length );
        TESSARK_EXCEPTION( max_nb_cells > 0,
            "[build_grid_from_bbox_target_length_and_maximum_cell_number] "
            "Maximum number of cells must be positive" );
        const auto extents = box.diagonal();
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            TESSARK_EXCEPTION( std::isfinite( extents.value( axis ) ),
                "[build_grid_from_bbox_target_length_and_maximum_cell_number] "
                "Box is not finite: ",
                box.string() );
        }
        const auto length =
            target_length
            * smallest_growth_factor( extents, target_length, max_nb_cells );
        TESSARK_EXCEPTION( std::isfinite( length ),
            "[build_grid_from_bbox_target_length_and_maximum_cell_number] No "
            "finite cell length fits ",
            max_nb_cells, " cells in box ", box.string(),
            " from target length ", target_length );
        const auto center = box.center();
        Point< D > origin;
        std::array< index_t, D > cells_number;
        std::array< double, D > cells_length;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            const auto count =
                nb_cells_on_axis( extents.value( axis ), length );
            cells_number[axis] = static_cast< index_t >( count );
            cells_length[axis] = length;
            origin.set_value( axis, center.value( axis ) - count * length / 2 );
        }
        return { origin, cells_number, cells_length };
    }

    template class LightRegularGrid< 2 >;
    template class LightRegularGrid< 3 >;
    template LightRegularGrid< 2 >
    build_grid_from_bbox_target_length_and_maximum_cell_number(
        const BoundingBox< 2 >&, double, index_t );
    template LightRegularGrid< 3 >
    build_grid_from_bbox_target_length_and_maximum_cell_number(
        const BoundingBox< 3 >&, double, index_t );
} // namespace brevane
