#include <samples/small_sample_models.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/structural_model_builder.h>

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

    void stack_second_horizon_into_first( SampleModel& sample )
    {
        TESSARK_EXCEPTION( sample.horizons.size() >= 2,
            "[stack_second_horizon_into_first] The sample has ",
            sample.horizons.size(), " horizons, two are needed" );
        auto& first = sample.horizons[0];
        auto& second = sample.horizons[1];
        StructuralModelBuilder builder{ sample.model };
        for( const auto& item : second.items )
        {
            builder.remove_relation( item, second.id );
            builder.add_surface_in_horizon( sample.model.surface( item ),
                sample.model.horizon( first.id ) );
            first.items.push_back( item );
        }
        second.items.clear();
    }
} // namespace brevane
