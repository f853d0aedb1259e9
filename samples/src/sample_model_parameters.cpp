#include <samples/sample_model_parameters.h>

namespace brevane
{
    std::vector< FaultParameters > spread_faults(
        const SampleBox& box, index_t nb_faults )
    {
        const auto height = box.top_z - box.bottom_z;
        std::vector< FaultParameters > faults;
        for( index_t fault = 0; fault < nb_faults; fault++ )
        {
            // From 0 to 1 across the faults.
            const auto rank = nb_faults == 1 ? 0.5
                                             : static_cast< double >( fault )
                                                   / ( nb_faults - 1 );
            FaultParameters parameters;
            parameters.x_at_reference_depth =
                box.length_x * ( fault + 1 ) / ( nb_faults + 1 );
            parameters.reference_depth = 0.5 * height;
            parameters.dip_degrees = 64 + 12 * rank;
            parameters.dips_towards_x_max = true;
            parameters.vertical_throw = height * ( 0.04 + 0.04 * rank );
            faults.push_back( parameters );
        }
        return faults;
    }
} // namespace brevane
