#include "vertical_lookup.h"

#include <algorithm>
#include <cmath>

namespace brevane::cli
{
    namespace
    {
        // Cells are filed with the boxes grown by more than the epsilon of
        // the box test, so that no polygon passing it is left out.
        constexpr double CELL_MARGIN{ 2 * GLOBAL_EPSILON };
    } // namespace

    VerticalLookup::VerticalLookup( const SurfaceMesh< 3 >& mesh )
        : mesh_( mesh )
    {
        const auto nb_polygons = mesh.nb_polygons();
        if( nb_polygons == 0 )
        {
            starts_.assign( 2, 0 );
            return;
        }
        const auto box = mesh.bounding_box();
        min_x_ = box.min().value( 0 );
        min_y_ = box.min().value( 1 );
        const auto extent_x = box.max().value( 0 ) - min_x_;
        const auto extent_y = box.max().value( 1 ) - min_y_;
        // About one cell per polygon, and at most three: the cell is no
        // smaller than the longer extent over the number of polygons.
        const auto longer = std::max( extent_x, extent_y );
        cell_size_ = std::max( { std::sqrt( extent_x * extent_y / nb_polygons ),
            longer / nb_polygons, GLOBAL_EPSILON } );
        nb_columns_ = static_cast< index_t >( extent_x / cell_size_ ) + 1;
        nb_rows_ = static_cast< index_t >( extent_y / cell_size_ ) + 1;

        // Two passes over the polygons: count per cell, then file.
        auto for_each_cell = [this]( index_t polygon, auto&& action )
        {
            const auto polygon_bounds = polygon_box( polygon );
            const auto first_column =
                column( polygon_bounds.min().value( 0 ) - CELL_MARGIN );
            const auto last_column =
                column( polygon_bounds.max().value( 0 ) + CELL_MARGIN );
            const auto first_row =
                row( polygon_bounds.min().value( 1 ) - CELL_MARGIN );
            const auto last_row =
                row( polygon_bounds.max().value( 1 ) + CELL_MARGIN );
            for( auto cell_row = first_row; cell_row <= last_row; cell_row++ )
            {
                for( auto cell_column = first_column;
                     cell_column <= last_column; cell_column++ )
                {
                    action( cell_row * nb_columns_ + cell_column );
                }
            }
        };
        starts_.assign( nb_columns_ * nb_rows_ + 1, 0 );
        for( index_t polygon = 0; polygon < nb_polygons; polygon++ )
        {
            for_each_cell( polygon,
                [this]( index_t cell )
                {
                    starts_[cell + 1]++;
                } );
        }
        for( std::size_t cell = 1; cell < starts_.size(); cell++ )
        {
            starts_[cell] += starts_[cell - 1];
        }
        polygons_.resize( starts_.back() );
        auto next = starts_;
        for( index_t polygon = 0; polygon < nb_polygons; polygon++ )
        {
            for_each_cell( polygon,
                [this, &next, polygon]( index_t cell )
                {
                    polygons_[next[cell]++] = polygon;
                } );
        }
    }

    BoundingBox3D VerticalLookup::polygon_box( index_t polygon ) const
    {
        BoundingBox3D box;
        for( const auto vertex : mesh_.polygon_vertices( polygon ) )
        {
            box.add_point( mesh_.point( vertex ) );
        }
        return box;
    }

    index_t VerticalLookup::column( double x ) const
    {
        const auto position = std::floor( ( x - min_x_ ) / cell_size_ );
        return static_cast< index_t >( std::clamp(
            position, 0.0, static_cast< double >( nb_columns_ - 1 ) ) );
    }

    index_t VerticalLookup::row( double y ) const
    {
        const auto position = std::floor( ( y - min_y_ ) / cell_size_ );
        return static_cast< index_t >( std::clamp(
            position, 0.0, static_cast< double >( nb_rows_ - 1 ) ) );
    }
} // namespace brevane::cli
