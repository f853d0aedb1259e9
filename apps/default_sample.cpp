#include "default_sample.h"

#include <tessark/basic/string_concatenation.h>

#include "report_format.h"

namespace brevane::cli
{
    SampleModelParameters default_sample_parameters()
    {
        SampleModelParameters parameters;
        parameters.nb_horizons = 3;
        parameters.faults = spread_faults( parameters.box, 2 );
        return parameters;
    }

    std::string describe_sample( const SampleModelParameters& parameters )
    {
        return concatenate( counted( parameters.nb_horizons, "horizon" ), ", ",
            counted( parameters.faults.size(), "fault" ), ", about ",
            counted(
                parameters.resolution.target_top_triangles, "top triangle" ),
            ", seed ", parameters.seed );
    }
} // namespace brevane::cli
