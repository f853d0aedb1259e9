#pragma once

#include <array>
#include <vector>

#include <samples/sample_model.h>

#include "sample_section.h"

namespace brevane
{
    // The components made from a section.
    struct SectionComponents
    {
        // The surface of each section edge.
        std::vector< uuid > edge_surfaces;
        // The surfaces of each section face on the y min and y max sides.
        std::vector< std::array< uuid, 2 > > face_surfaces;
        // The block of each section face.
        std::vector< uuid > blocks;
    };

    // Gathers the components of the model in named collections: one model
    // boundary each for the top, the bottom and the four sides, one horizon
    // per horizon, one fault per fault, one fault block per fault block;
    // records them, and the top and bottom surfaces, in the sample. Their
    // uuids derive from the key of the sample's ids and their names.
    void add_sample_collections( const Section& section,
        const SectionComponents& components, std::uint64_t id_key,
        SampleModel& sample );
} // namespace brevane
