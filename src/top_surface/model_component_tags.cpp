#include "builder/pillar_structural_model_builder_impl.h"

#include <algorithm>

namespace brevane
{
    bool PillarStructuralModelBuilder::Impl::is_model_boundary_surface(
        const Surface< 3 >& surface ) const
    {
        for( const auto& collection : model.collections( surface.id() ) )
        {
            if( collection.type().get() == "ModelBoundary" )
            {
                return true;
            }
        }
        return false;
    }

    bool PillarStructuralModelBuilder::Impl::is_top_or_bottom_surface(
        const Surface< 3 >& surface ) const
    {
        const auto& id = surface.id();
        return std::find( top_surfaces.begin(), top_surfaces.end(), id )
                   != top_surfaces.end()
               || std::find( bottom_surfaces.begin(), bottom_surfaces.end(), id )
                      != bottom_surfaces.end();
    }

    bool PillarStructuralModelBuilder::Impl::is_lateral_boundary_line(
        const Line< 3 >& line ) const
    {
        for( const auto& incidence : model.incidences( line.id() ) )
        {
            if( incidence.type().get() != "Surface" )
            {
                continue;
            }
            const auto& surface = model.surface( incidence.id() );
            if( is_model_boundary_surface( surface )
                && !is_top_or_bottom_surface( surface ) )
            {
                return true;
            }
        }
        return false;
    }
} // namespace brevane
