#include "sample_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "hashed_random.h"

namespace brevane
{
    SampleGeometry::SampleGeometry( const SampleModelParameters& parameters )
        : box_( parameters.box ), topography_( parameters.topography ),
          bottom_amplitude_( parameters.bottom_amplitude )
    {
        if( topography_.kind != TopographyKind::hills )
        {
            return;
        }
        const auto draw = [&parameters](
                              std::uint64_t object, std::uint64_t index )
        {
            return hashed_unit(
                parameters.seed, RandomPurpose::hills, object, index );
        };
        const auto size = std::sqrt( box_.length_x * box_.length_y );
        for( index_t hill = 0; hill < topography_.nb_hills; hill++ )
        {
            const auto width = ( 0.12 + 0.16 * draw( hill, 2 ) ) * size;
            const auto sign = draw( hill, 3 ) < 0.5 ? -1. : 1.;
            hills_.push_back( { draw( hill, 0 ) * box_.length_x,
                draw( hill, 1 ) * box_.length_y, 0.5 / ( width * width ),
                sign * ( 0.5 + 0.7 * draw( hill, 4 ) ) } );
        }
        wave_phases_ = { 2 * std::numbers::pi * draw( NO_ID, 0 ),
            2 * std::numbers::pi * draw( NO_ID, 1 ) };
    }

    double SampleGeometry::hills_offset( double x, double y ) const
    {
        // tanh keeps the offset strictly within the amplitude whatever the
        // hills add up to.
        double sum{ 0 };
        for( const auto& hill : hills_ )
        {
            const auto dx = x - hill.x;
            const auto dy = y - hill.y;
            sum += hill.height
                   * std::exp(
                       -( dx * dx + dy * dy ) * hill.inverse_square_width );
        }
        sum += 0.3
               * std::sin( 2 * std::numbers::pi * x / ( 0.9 * box_.length_x )
                           + wave_phases_[0] )
               * std::sin( 2 * std::numbers::pi * y / ( 1.1 * box_.length_y )
                           + wave_phases_[1] );
        return topography_.hills_amplitude * std::tanh( sum );
    }

    double SampleGeometry::grid_offset( double x, double y ) const
    {
        const auto& grid = topography_.height_grid;
        const auto locate = []( double coordinate, double length, index_t nb )
        {
            const auto scaled = std::clamp( coordinate / length, 0., 1. )
                                * static_cast< double >( nb - 1 );
            const auto cell = std::min( static_cast< index_t >( scaled ),
                static_cast< index_t >( nb - 2 ) );
            return std::pair{ cell, scaled - cell };
        };
        const auto [i, u] = locate( x, box_.length_x, grid.nb_x );
        const auto [j, v] = locate( y, box_.length_y, grid.nb_y );
        const auto height = [&grid]( index_t column, index_t row )
        {
            return grid
                .heights[column
                         + static_cast< std::size_t >( row ) * grid.nb_x];
        };
        const auto low = ( 1 - u ) * height( i, j ) + u * height( i + 1, j );
        const auto high =
            ( 1 - u ) * height( i, j + 1 ) + u * height( i + 1, j + 1 );
        return ( 1 - v ) * low + v * high - box_.top_z;
    }

    double SampleGeometry::top_offset( double x, double y ) const
    {
        return topography_.kind == TopographyKind::hills ? hills_offset( x, y )
                                                         : grid_offset( x, y );
    }

    double SampleGeometry::bottom_offset( double x, double y ) const
    {
        if( bottom_amplitude_ == 0 )
        {
            return 0;
        }
        return bottom_amplitude_
               * std::sin( std::numbers::pi * x / box_.length_x )
               * std::sin( std::numbers::pi * y / box_.length_y );
    }

    Point3D SampleGeometry::position( double x, double y, double z ) const
    {
        const auto weight =
            ( z - box_.bottom_z ) / ( box_.top_z - box_.bottom_z );
        return Point3D{ { x, y,
            z + top_offset( x, y ) * weight
                + bottom_offset( x, y ) * ( 1 - weight ) } };
    }
} // namespace brevane
