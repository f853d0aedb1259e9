#include "assembly/plan_view_triangles_by_surface.h"

namespace brevane::internal
{
    TrianglesBySurface triangles_by_surface( const AssemblyContext& context )
    {
        TrianglesBySurface triangles;
        const auto nb_triangles =
            context.background_surface.surface().nb_polygons();
        for( index_t triangle = 0; triangle < nb_triangles; triangle++ )
        {
            for( const auto& surface : context.surface_ids.value( triangle ) )
            {
                // A list may name a surface twice. Triangles come in
                // increasing order, so a repeat can only be the last
                // triangle recorded for that surface.
                auto& listed = triangles[surface];
                if( listed.empty() || listed.back() != triangle )
                {
                    listed.push_back( triangle );
                }
            }
        }
        return triangles;
    }

    absl::Span< const index_t > triangles_of_surface(
        const TrianglesBySurface& triangles, const uuid& surface )
    {
        const auto listed = triangles.find( surface );
        if( listed == triangles.end() )
        {
            return {};
        }
        return listed->second;
    }
} // namespace brevane::internal
