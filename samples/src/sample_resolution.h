#pragma once

#include <cstdint>
#include <vector>

#include <samples/sample_model_parameters.h>

#include "hashed_random.h"

namespace brevane
{
    // The target edge length of every surface kind of a sample model.
    struct SurfaceEdgeLengths
    {
        double topography{ 0 };
        std::vector< double > horizons;
        std::vector< double > faults;
        double sides{ 0 };
        double bottom{ 0 };
    };

    // The given lengths, or defaults derived from the target number of top
    // triangles for the zero ones. The parameters must have been checked.
    [[nodiscard]] SurfaceEdgeLengths surface_edge_lengths(
        const SampleModelParameters& parameters );

    // The number of segments of about edge_length that cover length, at
    // least one; throws when there would be more than ten million.
    [[nodiscard]] index_t segment_count( double length, double edge_length );

    // Where a random draw of samples comes from.
    struct SampleDraw
    {
        std::uint64_t seed{ 0 };
        RandomPurpose purpose{ RandomPurpose::line_samples };
        std::uint64_t object{ 0 };
        double jitter{ 0 };
    };

    // nb_segments + 1 strictly increasing positions from start to end (both
    // exact), the inner ones evenly spaced and then moved at random by up to
    // half the jitter times their spacing.
    [[nodiscard]] std::vector< double > jittered_samples(
        double start, double end, index_t nb_segments, const SampleDraw& draw );
} // namespace brevane
