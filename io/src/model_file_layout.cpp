#include "model_file_layout.h"

#include <tessark/basic/string_concatenation.h>

namespace brevane::internal
{
    ModelFileLayout::ModelFileLayout(
        const std::filesystem::path& multiblock_in )
        : multiblock( multiblock_in ),
          folder_name( concatenate( multiblock_in.stem().string(), "_files" ) ),
          folder( multiblock_in.parent_path() / folder_name ),
          description( folder / "model.json" )
    {
    }

    std::string component_file_name(
        const ComponentType& kind, index_t position )
    {
        if( kind == component_types::corner() )
        {
            return concatenate( "corner_", position, ".vtp" );
        }
        if( kind == component_types::line() )
        {
            return concatenate( "line_", position, ".vtp" );
        }
        if( kind == component_types::surface() )
        {
            return concatenate( "surface_", position, ".vtp" );
        }
        return concatenate( "block_", position, ".vtu" );
    }

    bool is_plain_file_name( std::string_view name )
    {
        return !name.empty() && name != "." && name != ".."
               && name.find_first_of( "/\\" ) == std::string_view::npos;
    }
} // namespace brevane::internal
