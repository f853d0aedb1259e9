#include <pillar/top_surface_plan_view.h>

#include <limits>
#include <utility>

namespace brevane
{
    std::shared_ptr< VariableAttribute< double > >
    internal::find_or_create_z_coordinate( TriangulatedSurface< 2 >& plan_view )
    {
        return plan_view.vertex_attribute_manager()
            .find_or_create_attribute< VariableAttribute, double >(
                "z_coordinate", std::numeric_limits< double >::quiet_NaN(),
                { false, true, true } );
    }

    std::shared_ptr< VariableAttribute< std::vector< uuid > > >
    internal::find_or_create_surface_ids( TriangulatedSurface< 2 >& plan_view )
    {
        return plan_view.polygon_attribute_manager()
            .find_or_create_attribute< VariableAttribute, std::vector< uuid > >(
                "surface_ids", {}, { true, false, true } );
    }

    internal::PlanView internal::create_plan_view()
    {
        auto surface = TriangulatedSurface< 2 >::create();
        BackgroundSurface background{ *surface };
        auto z_coordinate = find_or_create_z_coordinate( *surface );
        return { std::move( surface ), std::move( background ),
            std::move( z_coordinate ) };
    }
} // namespace brevane
