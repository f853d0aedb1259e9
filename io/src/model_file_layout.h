#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include <tessark/model/component_type.h>

namespace brevane::internal
{
    // Where the files of a saved model go: the multiblock file, the folder
    // "<stem>_files" beside it with one file per component mesh, and the
    // description "model.json" in that folder.
    struct ModelFileLayout
    {
        explicit ModelFileLayout( const std::filesystem::path& multiblock );

        std::filesystem::path multiblock;
        // The folder's name, as the multiblock file refers to it.
        std::string folder_name;
        std::filesystem::path folder;
        std::filesystem::path description;
    };

    // The file of the component at that position among the components of
    // its kind: "corner_0.vtp", "line_4.vtp", "surface_12.vtp",
    // "block_3.vtu".
    [[nodiscard]] std::string component_file_name(
        const ComponentType& kind, index_t position );

    // True for a plain file name (no folder, not "." or ".."), so that a
    // description never makes a load read outside its folder.
    [[nodiscard]] bool is_plain_file_name( std::string_view name );
} // namespace brevane::internal
