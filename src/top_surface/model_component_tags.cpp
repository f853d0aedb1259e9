#include <pillar/top_surface_plan_view.h>

#include <algorithm>

namespace brevane
{
    bool internal::is_model_boundary_surface(
        const TopSurfaceContext& context, const Surface< 3 >& surface )
    {
        for( const auto& collection : context.model.collections( surface.id() ) )
        {
            if( collection.type().get() == "ModelBoundary" )
            {
                return true;
            }
        }
        return false;
    }

    bool internal::is_top_or_bottom_surface(
        const TopSurfaceContext& context, const Surface< 3 >& surface )
    {
        const auto& id = surface.id();
        const auto& top_surfaces = context.top_surfaces;
        const auto& bottom_surfaces = context.bottom_surfaces;
        return std::find( top_surfaces.begin(), top_surfaces.end(), id )
                   != top_surfaces.end()
               || std::find( bottom_surfaces.begin(), bottom_surfaces.end(), id )
                      != bottom_surfaces.end();
    }

    bool internal::is_lateral_boundary_line(
        const TopSurfaceContext& context, const Line< 3 >& line )
    {
        for( const auto& incidence : context.model.incidences( line.id() ) )
        {
            if( incidence.type().get() != "Surface" )
            {
                continue;
            }
            const auto& surface = context.model.surface( incidence.id() );
            if( is_model_boundary_surface( context, surface )
                && !is_top_or_bottom_surface( context, surface ) )
            {
                return true;
            }
        }
        return false;
    }
} // namespace brevane
