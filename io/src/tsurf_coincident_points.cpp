#include <io/tsurf_coincident_points.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include <absl/container/flat_hash_map.h>
#include <absl/container/inlined_vector.h>

namespace brevane
{
    namespace
    {
        using CellKey = std::array< std::int64_t, 3 >;

        // Cells much larger than the tolerance: a point is usually farther
        // than the tolerance from every cell side, and then only its own
        // cell can hold a point that close. Model points are far more than
        // a cell apart, so cells hold one group or a few.
        constexpr double CELL_LENGTH{ 64 * GLOBAL_EPSILON };
        // How close to a cell side a point must be for the neighbouring
        // cell to be searched: twice the tolerance, so that rounding in the
        // cell arithmetic of large coordinates never misses a neighbour.
        constexpr double SIDE_MARGIN{ 2 * GLOBAL_EPSILON };
        // Far beyond any model, and within std::int64_t: coordinates past
        // it share the outermost cells, which only costs time.
        constexpr double MAX_CELL{ 1e18 };

        // The cell of the coordinate along one axis, and the neighbouring
        // cell that may also hold points within the tolerance of it (-1 or
        // 1; 0 when the coordinate is far from both sides).
        struct AxisCells
        {
            std::int64_t cell;
            std::int64_t neighbour_step;
        };

        AxisCells axis_cells( double value )
        {
            const auto scaled = value / CELL_LENGTH;
            const auto floor = std::floor( scaled );
            const auto cell = static_cast< std::int64_t >(
                std::clamp( floor, -MAX_CELL, MAX_CELL ) );
            const auto offset = ( scaled - floor ) * CELL_LENGTH;
            if( offset <= SIDE_MARGIN )
            {
                return { cell, -1 };
            }
            if( CELL_LENGTH - offset <= SIDE_MARGIN )
            {
                return { cell, 1 };
            }
            return { cell, 0 };
        }

        class CoincidentPointGrouper
        {
        public:
            CoincidentPointGroups group( absl::Span< const Point3D > points )
            {
                result_.group_of_point.reserve( points.size() );
                for( const auto& point : points )
                {
                    const std::array< AxisCells, 3 > cells{
                        axis_cells( point.value( 0 ) ),
                        axis_cells( point.value( 1 ) ),
                        axis_cells( point.value( 2 ) )
                    };
                    auto group = NO_ID;
                    // Up to eight cells: the point's own, and its neighbour
                    // along each axis where it is close to a cell side.
                    for( unsigned neighbours = 0; neighbours < 8; neighbours++ )
                    {
                        CellKey key{};
                        bool exists{ true };
                        for( local_index_t axis = 0; axis < 3; axis++ )
                        {
                            const auto step = ( neighbours >> axis ) & 1U;
                            exists = exists
                                     && ( step == 0
                                          || cells[axis].neighbour_step != 0 );
                            key[axis] =
                                cells[axis].cell
                                + ( step == 0 ? 0
                                              : cells[axis].neighbour_step );
                        }
                        if( exists )
                        {
                            group =
                                std::min( group, group_in_cell( key, point ) );
                        }
                    }
                    if( group == NO_ID )
                    {
                        group = result_.nb_groups++;
                        first_points_.push_back( point );
                        groups_in_cell_[CellKey{ cells[0].cell, cells[1].cell,
                                            cells[2].cell }]
                            .push_back( group );
                    }
                    result_.group_of_point.push_back( group );
                }
                return std::move( result_ );
            }

        private:
            // The lowest group of the cell whose first point is within the
            // tolerance, NO_ID when none is.
            index_t group_in_cell(
                const CellKey& key, const Point3D& point ) const
            {
                const auto found = groups_in_cell_.find( key );
                if( found == groups_in_cell_.end() )
                {
                    return NO_ID;
                }
                auto group = NO_ID;
                for( const auto candidate : found->second )
                {
                    if( candidate < group
                        && first_points_[candidate].inexact_equal( point ) )
                    {
                        group = candidate;
                    }
                }
                return group;
            }

            CoincidentPointGroups result_;
            std::vector< Point3D > first_points_;
            absl::flat_hash_map< CellKey, absl::InlinedVector< index_t, 1 > >
                groups_in_cell_;
        };
    } // namespace

    CoincidentPointGroups group_coincident_points(
        absl::Span< const Point3D > points )
    {
        return CoincidentPointGrouper{}.group( points );
    }
} // namespace brevane
