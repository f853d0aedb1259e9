#include "top_surface/model_mesh_reset.h"

#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane::internal
{
    void reset_model_meshes(
        const TopSurfaceContext& context, BRepBuilder& builder )
    {
        const auto& model = context.model;
        for( const auto& surface : model.surfaces() )
        {
            if( is_model_boundary_surface( context, surface )
                && !is_top_or_bottom_surface( context, surface ) )
            {
                builder.update_surface_mesh(
                    surface, PolygonalSurface< 3 >::create() );
            }
            else
            {
                builder.update_surface_mesh(
                    surface, TriangulatedSurface< 3 >::create() );
            }
        }
        for( const auto& block : model.blocks() )
        {
            builder.update_block_mesh( block, HybridSolid< 3 >::create() );
        }
    }
} // namespace brevane::internal
