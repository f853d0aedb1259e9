#include <samples/small_sample_models.h>

namespace brevane
{
    SampleModelParameters small_sample_parameters(
        index_t nb_horizons, index_t nb_faults )
    {
        SampleModelParameters parameters;
        parameters.box = { 100, 60, 0, 40 };
        parameters.topography.hills_amplitude = 2;
        parameters.topography.nb_hills = 3;
        parameters.nb_horizons = nb_horizons;
        parameters.faults = spread_faults( parameters.box, nb_faults );
        parameters.resolution.target_top_triangles = 24;
        return parameters;
    }

    SampleModel flat_layer_cake()
    {
        return build_sample_model( small_sample_parameters( 2, 0 ) );
    }

    SampleModel one_fault_model()
    {
        return build_sample_model( small_sample_parameters( 2, 1 ) );
    }

    SampleModel two_faults_model()
    {
        return build_sample_model( small_sample_parameters( 2, 2 ) );
    }
} // namespace brevane
