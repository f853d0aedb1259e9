#include "background/modifier_impl.h"

namespace brevane::internal
{
    CleanMappings BackgroundSurfaceModifier::Impl::clean()
    {
        deleted_polygons_.resize( surface.nb_polygons(), false );
        deleted_vertices_.resize( surface.nb_vertices(), false );
        CleanMappings mappings;
        auto deletion =
            builder.delete_polygons_with_edge_mapping( deleted_polygons_ );
        mappings.polygons = std::move( deletion.polygons );
        mappings.edges = std::move( deletion.edges );
        mappings.vertices = builder.delete_vertices( deleted_vertices_ );
        tracker_.compact( mappings.vertices, surface.nb_vertices() );
        deleted_polygons_.clear();
        deleted_vertices_.clear();
        return mappings;
    }
} // namespace brevane::internal
