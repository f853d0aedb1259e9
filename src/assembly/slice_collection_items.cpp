#include "assembly/slice_collection_items.h"

namespace brevane::internal
{
    void add_to_slice_collection( const AssemblyContext& context,
        absl::Span< const uuid > surfaces, const uuid& collection )
    {
        for( const auto& surface : surfaces )
        {
            if( context.model.is_item( surface, collection ) )
            {
                continue;
            }
            context.builder.add_surface_in_surface_collection(
                context.model.surface( surface ),
                context.model.surface_collection( collection ) );
        }
    }
} // namespace brevane::internal
