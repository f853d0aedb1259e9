#include "sample_parameter_checks.h"

#include <algorithm>
#include <cmath>

#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    namespace
    {
        constexpr index_t MAX_HORIZONS{ 1000 };
        constexpr index_t MAX_FAULTS{ 1000 };
        constexpr index_t MAX_HILLS{ 1000 };
        constexpr double MAX_JITTER{ 0.8 };

        void check_box( const SampleBox& box )
        {
            TESSARK_EXCEPTION( std::isfinite( box.length_x ) && box.length_x > 0
                                   && std::isfinite( box.length_y )
                                   && box.length_y > 0,
                "[build_sample_model] The box lengths must be positive, not ",
                box.length_x, " and ", box.length_y );
            TESSARK_EXCEPTION( std::isfinite( box.bottom_z )
                                   && std::isfinite( box.top_z )
                                   && box.top_z > box.bottom_z,
                "[build_sample_model] The mean top height ", box.top_z,
                " must be above the bottom ", box.bottom_z );
        }

        void check_topography( const SampleModelParameters& parameters )
        {
            const auto& box = parameters.box;
            const auto& topography = parameters.topography;
            TESSARK_EXCEPTION( std::isfinite( parameters.bottom_amplitude ),
                "[build_sample_model] The bottom amplitude is not finite" );
            // The highest the bottom reaches.
            const auto bottom_ceiling =
                box.bottom_z + std::abs( parameters.bottom_amplitude );
            if( topography.kind == TopographyKind::hills )
            {
                TESSARK_EXCEPTION( std::isfinite( topography.hills_amplitude )
                                       && topography.hills_amplitude >= 0,
                    "[build_sample_model] The hills amplitude must be zero or "
                    "positive, not ",
                    topography.hills_amplitude );
                TESSARK_EXCEPTION( topography.nb_hills <= MAX_HILLS,
                    "[build_sample_model] ", topography.nb_hills,
                    " hills is more than ", MAX_HILLS );
                TESSARK_EXCEPTION(
                    box.top_z - topography.hills_amplitude > bottom_ceiling,
                    "[build_sample_model] Hills of amplitude ",
                    topography.hills_amplitude, " around ", box.top_z,
                    " may reach the bottom, which rises to ", bottom_ceiling );
                return;
            }
            const auto& grid = topography.height_grid;
            TESSARK_EXCEPTION( grid.nb_x >= 2 && grid.nb_y >= 2,
                "[build_sample_model] A height grid needs at least 2 x 2 "
                "heights, not ",
                grid.nb_x, " x ", grid.nb_y );
            TESSARK_EXCEPTION(
                grid.heights.size()
                    == static_cast< std::size_t >( grid.nb_x ) * grid.nb_y,
                "[build_sample_model] A height grid of ", grid.nb_x, " x ",
                grid.nb_y, " has ", grid.heights.size(), " heights" );
            for( std::size_t height = 0; height < grid.heights.size();
                 height++ )
            {
                TESSARK_EXCEPTION( std::isfinite( grid.heights[height] )
                                       && grid.heights[height] > bottom_ceiling,
                    "[build_sample_model] Height ", height, " of the grid (",
                    grid.heights[height],
                    ") is not above the bottom, which rises to ",
                    bottom_ceiling );
            }
        }

        void check_horizons( const SampleModelParameters& parameters )
        {
            const auto height = parameters.box.top_z - parameters.box.bottom_z;
            const auto& depths = parameters.horizon_depths;
            TESSARK_EXCEPTION( nb_sample_horizons( parameters ) <= MAX_HORIZONS,
                "[build_sample_model] ", nb_sample_horizons( parameters ),
                " horizons is more than ", MAX_HORIZONS );
            for( std::size_t horizon = 0; horizon < depths.size(); horizon++ )
            {
                TESSARK_EXCEPTION( std::isfinite( depths[horizon] )
                                       && depths[horizon] > 0
                                       && depths[horizon] < height,
                    "[build_sample_model] Depth ", depths[horizon],
                    " of horizon ", horizon + 1, " is not within (0, ", height,
                    ")" );
                TESSARK_EXCEPTION(
                    horizon == 0 || depths[horizon] > depths[horizon - 1],
                    "[build_sample_model] Horizon depths must increase: "
                    "horizon ",
                    horizon + 1, " at ", depths[horizon], " after ",
                    depths[horizon - 1] );
            }
        }

        void check_faults( const SampleModelParameters& parameters )
        {
            TESSARK_EXCEPTION( parameters.faults.size() <= MAX_FAULTS,
                "[build_sample_model] ", parameters.faults.size(),
                " faults is more than ", MAX_FAULTS );
            for( std::size_t fault = 0; fault < parameters.faults.size();
                 fault++ )
            {
                const auto& values = parameters.faults[fault];
                TESSARK_EXCEPTION( std::isfinite( values.dip_degrees )
                                       && values.dip_degrees > 0
                                       && values.dip_degrees <= 90,
                    "[build_sample_model] Fault ", fault + 1, " dips by ",
                    values.dip_degrees, " degrees, not within (0, 90]" );
                TESSARK_EXCEPTION(
                    std::isfinite( values.x_at_reference_depth )
                        && std::isfinite( values.reference_depth )
                        && std::isfinite( values.vertical_throw ),
                    "[build_sample_model] Fault ", fault + 1,
                    " has a non-finite position, reference depth or throw" );
            }
        }

        void check_length( double length, const char* what )
        {
            TESSARK_EXCEPTION( std::isfinite( length ) && length >= 0,
                "[build_sample_model] The ", what,
                " edge length must be zero (default) or positive, not ",
                length );
        }

        void check_resolution( const SampleModelParameters& parameters )
        {
            const auto& resolution = parameters.resolution;
            TESSARK_EXCEPTION( resolution.target_top_triangles > 0,
                "[build_sample_model] The target number of top triangles must "
                "be positive" );
            check_length( resolution.topography_edge_length, "topography" );
            check_length( resolution.fault_edge_length, "fault" );
            check_length( resolution.side_edge_length, "side" );
            check_length( resolution.bottom_edge_length, "bottom" );
            TESSARK_EXCEPTION( resolution.horizon_edge_lengths.empty()
                                   || resolution.horizon_edge_lengths.size()
                                          == nb_sample_horizons( parameters ),
                "[build_sample_model] ", resolution.horizon_edge_lengths.size(),
                " horizon edge lengths given for ",
                nb_sample_horizons( parameters ), " horizons" );
            for( const auto length : resolution.horizon_edge_lengths )
            {
                check_length( length, "horizon" );
            }
            TESSARK_EXCEPTION( std::isfinite( resolution.jitter )
                                   && resolution.jitter >= 0
                                   && resolution.jitter <= MAX_JITTER,
                "[build_sample_model] The jitter ", resolution.jitter,
                " is not within [0, ", MAX_JITTER, "]" );
        }
    } // namespace

    index_t nb_sample_horizons( const SampleModelParameters& parameters )
    {
        return parameters.horizon_depths.empty()
                   ? parameters.nb_horizons
                   : static_cast< index_t >( std::min< std::size_t >(
                       parameters.horizon_depths.size(), NO_ID - 1 ) );
    }

    void check_sample_parameters( const SampleModelParameters& parameters )
    {
        check_box( parameters.box );
        check_topography( parameters );
        check_horizons( parameters );
        check_faults( parameters );
        check_resolution( parameters );
    }
} // namespace brevane
