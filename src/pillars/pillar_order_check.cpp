#include "pillars/pillar_order_check.h"

#include <tessark/basic/tessark_exception.h>

namespace brevane::internal
{
    namespace
    {
        std::string surface_description( const BRep& model, const uuid& id )
        {
            return concatenate(
                "\"", model.surface( id ).name(), "\" (", id.string(), ")" );
        }
    } // namespace

    void check_pillars_go_down(
        const BRep& model, absl::Span< const Pillar > pillars )
    {
        constexpr double tolerance{ 1e-6 };
        for( const auto& pillar : pillars )
        {
            const auto& intersections = pillar.intersections;
            for( std::size_t index = 1; index < intersections.size(); index++ )
            {
                const auto& upper = intersections[index - 1];
                const auto& lower = intersections[index];
                const auto upper_z = upper.point.value( 2 );
                const auto lower_z = lower.point.value( 2 );
                if( lower_z <= upper_z + tolerance )
                {
                    continue;
                }
                throw TessarkException{ "[PillarStructuralModelBuilder] "
                                        "Surfaces cross at (",
                    pillar.top.value( 0 ), ", ", pillar.top.value( 1 ), "): ",
                    surface_description( model, lower.surface ), " at z = ",
                    lower_z, " lies above ",
                    surface_description( model, upper.surface ), " at z = ",
                    upper_z, ", which comes before it from the top down. "
                             "Check that these surfaces do not cross and "
                             "that their horizons are ordered as in the model" };
            }
        }
    }
} // namespace brevane::internal
