#pragma once

#include <string>

#include <samples/sample_model.h>

namespace brevane::test
{
    // The counts of a model whose horizons meet each fault at distinct
    // points from its two sides, except for nb_shared_per_fault horizons
    // meeting every fault at one point from both sides.
    struct ExpectedCounts
    {
        index_t corners;
        index_t lines;
        index_t surfaces;
        index_t blocks;
    };
    [[nodiscard]] ExpectedCounts expected_counts(
        index_t nb_horizons, index_t nb_faults, index_t nb_shared_per_fault );

    // Absolute heights on a grid over the box, waving 30 around top_z.
    [[nodiscard]] HeightGrid wavy_grid(
        const SampleBox& box, index_t nb_x, index_t nb_y );

    // Checks, as test failures, everything a valid sample model must show:
    // counts, collections and names, the model validator and the structure
    // checks, a topography facing up and a bottom facing down, both
    // single-valued in plan view and covering the box, and blocks filling
    // the volume between them without overlapping.
    void check_sample_model( const SampleModel& sample,
        const SampleModelParameters& parameters, index_t nb_shared_per_fault );

    // Checks the collections of a sample model and their names.
    void check_sample_collections( const SampleModel& sample,
        index_t nb_horizons, index_t nb_faults, index_t nb_pieces_per_fault );

    // The number of triangles of the surfaces.
    [[nodiscard]] index_t nb_triangles(
        const StructuralModel& model, const std::vector< uuid >& surfaces );
} // namespace brevane::test
