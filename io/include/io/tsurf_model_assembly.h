#pragma once

#include <string>
#include <vector>

#include <io/tsurf_description.h>
#include <io/tsurf_model.h>
#include <io/tsurf_part.h>

namespace brevane
{
    // A part and what it is in the model.
    struct TSurfModelSurface
    {
        TSurfPart part;
        TSurfRole role{ TSurfRole::horizon };
        // The horizon, fault or side boundary; unused for the topography
        // and the bottom.
        std::string collection;
    };

    struct TSurfModelBlock
    {
        std::string name;
        // Indices in TSurfModelParts::surfaces.
        std::vector< index_t > surfaces;
    };

    struct TSurfModelParts
    {
        std::vector< TSurfModelSurface > surfaces;
        std::vector< TSurfModelBlock > blocks;
    };

    // Builds a structural model from the parts:
    // 1. points of all parts closer than GLOBAL_EPSILON share one unique
    //    vertex (group_coincident_points);
    // 2. each part becomes a triangulated surface named after it, with one
    //    mesh vertex per unique vertex it uses; a triangle whose points
    //    coincide is left out and reported;
    // 3. lines and corners are built from the unique vertices
    //    (ModelBuilderFromUniqueVertices);
    // 4. each block gets its boundary surfaces;
    // 5. collections follow the roles, as the sample-model factory makes
    //    them: the model boundaries "top" (topography) and "bottom", one
    //    model boundary per side boundary name, one horizon per horizon
    //    name, one fault per fault name, in order of first appearance;
    // 6. fault blocks: blocks that share a horizon surface, directly or
    //    through other blocks, form one fault block "fault_block_<i>",
    //    numbered from 0 in the order of their first block;
    // 7. problems: collapsed triangles, a failed line build, no block,
    //    unshared_surface_borders, then every validate_model problem.
    // Throws a TessarkException when a block indexes a missing surface; any
    // set of parts otherwise gives a model, with problems when it does not
    // close.
    [[nodiscard]] ImportedModel assemble_tsurf_model(
        const TSurfModelParts& parts );
} // namespace brevane
