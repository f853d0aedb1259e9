#include "sample_resolution.h"

#include <cmath>

#include <tessark/basic/tessark_exception.h>

#include "sample_parameter_checks.h"

namespace brevane
{
    namespace
    {
        // Ratios of the default edge lengths to the topography's one: no
        // two kinds share a sampling, so their meshes never line up.
        constexpr double FIRST_HORIZON_RATIO{ 1.13 };
        constexpr double HORIZON_RATIO_STEP{ 0.07 };
        constexpr double FIRST_FAULT_RATIO{ 1.21 };
        constexpr double FAULT_RATIO_STEP{ 0.05 };
        constexpr double SIDE_RATIO{ 1.31 };
        constexpr double BOTTOM_RATIO{ 1.57 };
        constexpr double MAX_SEGMENT_COUNT{ 1e7 };

        double given_or( double given, double fallback )
        {
            return given > 0 ? given : fallback;
        }
    } // namespace

    SurfaceEdgeLengths surface_edge_lengths(
        const SampleModelParameters& parameters )
    {
        const auto& box = parameters.box;
        const auto& resolution = parameters.resolution;
        // A grid of squares cut in two triangles: 2 area / length^2
        // triangles.
        const auto top_default = std::sqrt(
            2 * box.length_x * box.length_y
            / static_cast< double >( resolution.target_top_triangles ) );
        SurfaceEdgeLengths lengths;
        lengths.topography =
            given_or( resolution.topography_edge_length, top_default );
        const auto nb_horizons = nb_sample_horizons( parameters );
        for( index_t horizon = 0; horizon < nb_horizons; horizon++ )
        {
            const auto fallback =
                top_default
                * ( FIRST_HORIZON_RATIO + HORIZON_RATIO_STEP * horizon );
            lengths.horizons.push_back(
                resolution.horizon_edge_lengths.empty()
                    ? fallback
                    : given_or(
                        resolution.horizon_edge_lengths[horizon], fallback ) );
        }
        for( std::size_t fault = 0; fault < parameters.faults.size(); fault++ )
        {
            lengths.faults.push_back( given_or( resolution.fault_edge_length,
                top_default
                    * ( FIRST_FAULT_RATIO
                        + FAULT_RATIO_STEP
                              * static_cast< double >( fault ) ) ) );
        }
        lengths.sides =
            given_or( resolution.side_edge_length, top_default * SIDE_RATIO );
        lengths.bottom = given_or(
            resolution.bottom_edge_length, top_default * BOTTOM_RATIO );
        return lengths;
    }

    index_t segment_count( double length, double edge_length )
    {
        const auto ratio = length / edge_length;
        TESSARK_EXCEPTION( std::isfinite( ratio ) && ratio <= MAX_SEGMENT_COUNT,
            "[build_sample_model] A length of ", length,
            " cut in edges of length ", edge_length, " gives more than ",
            MAX_SEGMENT_COUNT, " edges" );
        return std::max(
            index_t{ 1 }, static_cast< index_t >( std::lround( ratio ) ) );
    }

    std::vector< double > jittered_samples(
        double start, double end, index_t nb_segments, const SampleDraw& draw )
    {
        std::vector< double > samples( nb_segments + 1 );
        samples.front() = start;
        samples.back() = end;
        const auto spacing = ( end - start ) / nb_segments;
        for( index_t sample = 1; sample < nb_segments; sample++ )
        {
            const auto shift =
                draw.jitter == 0 ? 0.
                                 : draw.jitter
                                       * ( hashed_unit( draw.seed, draw.purpose,
                                               draw.object, sample )
                                           - 0.5 );
            samples[sample] = start + ( sample + shift ) * spacing;
        }
        return samples;
    }
} // namespace brevane
