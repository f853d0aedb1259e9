#pragma once

#include <vector>

#include <tessark/model/structural_model.h>

#include <samples/sample_model_parameters.h>

namespace brevane
{
    // A collection of a sample model and its items, in insertion order.
    struct SampleCollection
    {
        uuid id;
        std::vector< uuid > items;
    };

    // A valid structural model and the ids a caller needs to use it.
    //
    // The model is a box cut by the faults into fault blocks (numbered from
    // x min to x max) and by the topography, the horizons and the bottom into
    // layers (numbered from the top). Every horizon, the topography and the
    // bottom have one surface per fault block; every fault has one surface
    // per segment between the lines where horizons (from either side), the
    // topography or the bottom meet it; each side of the box has one surface
    // per layer it bounds (x sides) or per block (y sides). Every block is one
    // (fault block, layer) and is closed by its surfaces; its mesh is empty.
    // Surfaces meet only along lines running along y or drawn on the y sides;
    // lines end at corners on the y sides.
    //
    // Names: "top_block_<b>", "bottom_block_<b>", "horizon_<h>_block_<b>",
    // "fault_<f>_piece_<p>", "side_x_min_layer_<l>", "side_x_max_layer_<l>",
    // "side_y_min_block_<b>_layer_<l>", "side_y_max_block_<b>_layer_<l>" for
    // surfaces, "block_<b>_layer_<l>" for blocks, "top", "bottom",
    // "side_x_min", "side_x_max", "side_y_min", "side_y_max", "horizon_<h>",
    // "fault_<f>" and "fault_block_<b>" for collections, with horizons and
    // faults numbered from 1 and blocks, layers and pieces from 0.
    struct SampleModel
    {
        StructuralModel model;
        // The topography pieces (the top ModelBoundary), from x min to x max.
        std::vector< uuid > top_surfaces;
        // The bottom pieces (the bottom ModelBoundary), from x min to x max.
        std::vector< uuid > bottom_surfaces;
        uuid top_boundary;
        uuid bottom_boundary;
        // Surfaces from the top down (x sides) or by block, then by layer
        // from the top down (y sides).
        SampleCollection side_x_min;
        SampleCollection side_x_max;
        SampleCollection side_y_min;
        SampleCollection side_y_max;
        // Pieces by fault block, from x min to x max.
        std::vector< SampleCollection > horizons;
        // Pieces from the top down.
        std::vector< SampleCollection > faults;
        // Blocks by layer, from the top down.
        std::vector< SampleCollection > fault_blocks;
    };

    // Builds the model described by the parameters, in time and memory
    // linear in its number of triangles. Throws a TessarkException naming
    // the faulty value when the parameters do not describe a valid model
    // (horizons leaving the box, crossing faults, topography below the
    // bottom, a relief too strong for the resolution...).
    [[nodiscard]] SampleModel build_sample_model(
        const SampleModelParameters& parameters );
} // namespace brevane
