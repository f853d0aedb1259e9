#include <gtest/gtest.h>

#include <string>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "sample_checks.h"

namespace brevane
{
    namespace
    {
        struct ModelCase
        {
            std::string name;
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
            bool height_grid{ false };
            double bottom_amplitude{ 0 };
            double jitter{ 0.25 };
        };

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const ModelCase& test_case, std::ostream* out )
        {
            *out << test_case.name;
        }

        SampleModelParameters case_parameters( const ModelCase& model_case )
        {
            SampleModelParameters parameters;
            parameters.nb_horizons = model_case.nb_horizons;
            parameters.faults =
                spread_faults( parameters.box, model_case.nb_faults );
            parameters.resolution.target_top_triangles =
                model_case.target_top_triangles;
            parameters.resolution.jitter = model_case.jitter;
            parameters.bottom_amplitude = model_case.bottom_amplitude;
            if( model_case.height_grid )
            {
                parameters.topography.kind = TopographyKind::height_grid;
                parameters.topography.height_grid =
                    test::wavy_grid( parameters.box, 9, 7 );
            }
            return parameters;
        }
    } // namespace

    class SampleModelTable : public testing::TestWithParam< ModelCase >
    {
    };

    TEST_P( SampleModelTable, is_valid_with_the_expected_structure )
    {
        const auto parameters = case_parameters( GetParam() );
        test::check_sample_model(
            build_sample_model( parameters ), parameters, 0 );
    }

    INSTANTIATE_TEST_SUITE_P( Samples, SampleModelTable,
        testing::Values( ModelCase{ "box_only", 0, 0, 40 },
            ModelCase{ "one_horizon_grid", 1, 0, 200, true },
            ModelCase{ "two_horizons_one_fault", 2, 1, 500 },
            ModelCase{ "three_horizons_two_faults_grid_curved_bottom", 3, 2,
                800, true, 40 },
            ModelCase{ "five_horizons_two_faults", 5, 2, 3000 },
            ModelCase{
                "four_horizons_one_fault_regular", 4, 1, 300, false, 0, 0 },
            ModelCase{ "faults_without_horizons", 0, 2, 200 },
            ModelCase{ "ten_horizons_three_faults", 10, 3, 2000 },
            ModelCase{
                "five_horizons_grid_sunken_bottom", 5, 0, 100, true, -30 },
            ModelCase{
                "coarse_two_faults_strong_jitter", 2, 2, 6, false, 0, 0.8 } ),
        []( const testing::TestParamInfo< ModelCase >& info )
        {
            return info.param.name;
        } );

    TEST( SampleModel, small_fixtures_are_valid_and_small )
    {
        using Fixture = SampleModel ( * )();
        const std::vector< std::pair< Fixture, index_t > > fixtures{
            { &flat_layer_cake, 0 }, { &one_fault_model, 1 },
            { &two_faults_model, 2 }
        };
        for( const auto& [fixture, nb_faults] : fixtures )
        {
            const auto sample = fixture();
            test::check_sample_model(
                sample, small_sample_parameters( 2, nb_faults ), 0 );
            std::vector< uuid > surfaces;
            for( const auto& surface : sample.model.surfaces() )
            {
                surfaces.push_back( surface.id() );
            }
            const auto nb_triangles =
                test::nb_triangles( sample.model, surfaces );
            EXPECT_GE( nb_triangles, 24u );
            EXPECT_LE( nb_triangles, 1000u );
        }
    }
} // namespace brevane
