#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The JSON description that turns a set of TSurf files into a structural
// model: which parts are the topography, the bottom, horizons, faults and
// side boundaries, and which surfaces bound each block.
//
// {
//   "surfaces": [
//     { "file": "topo.ts", "role": "topography" },
//     { "file": "horizons.ts", "part": "H1", "role": "horizon",
//       "horizon": "H1" },
//     { "file": "f1.ts", "role": "fault", "fault": "F1" },
//     { "file": "base.ts", "role": "bottom" },
//     { "file": "sides.ts", "role": "boundary", "boundary": "sides" } ],
//   "blocks": [ { "name": "upper", "surfaces": [ "topo", "H1", "..." ] } ]
// }
namespace brevane
{
    enum struct TSurfRole : std::uint8_t
    {
        topography,
        bottom,
        horizon,
        fault,
        boundary
    };

    // "topography", "bottom", "horizon", "fault" or "boundary".
    [[nodiscard]] std::string_view tsurf_role_name( TSurfRole role );

    // Parts of one TSurf file and what they are in the model.
    struct TSurfSurfaceEntry
    {
        // Relative to the folder of the description, or absolute.
        std::filesystem::path file;
        // The name of a part or of a TSurf object of the file (all its
        // parts); empty for every part of the file.
        std::string part;
        TSurfRole role{ TSurfRole::horizon };
        // The horizon, fault or side boundary the parts belong to, written
        // under the key named after the role; empty for the name of the
        // TSurf object of each part. Unused for the topography and the
        // bottom, which go to the model boundaries "top" and "bottom".
        std::string collection;
    };

    // A block and the names of the surfaces (parts) that bound it.
    struct TSurfBlockEntry
    {
        std::string name;
        std::vector< std::string > surfaces;
    };

    struct TSurfModelDescription
    {
        std::vector< TSurfSurfaceEntry > surfaces;
        std::vector< TSurfBlockEntry > blocks;
    };

    // Reads a description file. Throws a TessarkException naming the file,
    // and the entry where there is one ("surfaces[2]"), for text that is
    // not JSON, a missing or mistyped value, an unknown key or role, a
    // collection key that is not the entry's role, an empty file name, and
    // a block without a name or without surfaces.
    [[nodiscard]] TSurfModelDescription read_tsurf_model_description(
        const std::filesystem::path& path );

    // The same, from the JSON text; name_for_messages stands for the file.
    [[nodiscard]] TSurfModelDescription parse_tsurf_model_description(
        std::string_view json, std::string_view name_for_messages );

    // The JSON text of a description, which parses back to the same one.
    [[nodiscard]] std::string tsurf_model_description_json(
        const TSurfModelDescription& description );

    // Writes the JSON text of the description to the file; throws a
    // TessarkException naming the file when it cannot be written.
    void write_tsurf_model_description(
        const TSurfModelDescription& description,
        const std::filesystem::path& path );
} // namespace brevane
