#include <gtest/gtest.h>

#include <absl/strings/str_cat.h>
#include <absl/strings/str_join.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/model/model_meshes_aabb_tree.h>

#include <pillar/pillar_structural_model_builder.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>
#include <samples/model_variants.h>

#include "pillar/support/rebuilt_model_checks.h"

namespace brevane
{
    namespace
    {
        struct AnyModelCase
        {
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
            std::uint64_t seed;
        };

        std::string name_of( const AnyModelCase& model_case )
        {
            return absl::StrCat( "H", model_case.nb_horizons, "_F",
                model_case.nb_faults, "_T", model_case.target_top_triangles,
                "_seed", model_case.seed );
        }

        // Names the case in test listings, instead of a dump of its bytes.
        void PrintTo( const AnyModelCase& model_case, std::ostream* out )
        {
            *out << name_of( model_case );
        }

        std::string case_name(
            const testing::TestParamInfo< AnyModelCase >& info )
        {
            return name_of( info.param );
        }

        SampleModelParameters parameters_of( const AnyModelCase& model_case )
        {
            auto parameters = small_sample_parameters(
                model_case.nb_horizons, model_case.nb_faults );
            parameters.resolution.target_top_triangles =
                model_case.target_top_triangles;
            parameters.seed = model_case.seed;
            return parameters;
        }

        SampleModel sample_of( const AnyModelCase& model_case )
        {
            return build_sample_model( parameters_of( model_case ) );
        }

        // Some coarse parameter records ask for more relief than the
        // factory's meshes can follow: it refuses them, and there is no
        // model to build.
        bool factory_makes( const AnyModelCase& model_case )
        {
            try
            {
                static_cast< void >( sample_of( model_case ) );
                return true;
            }
            catch( const TessarkException& )
            {
                return false;
            }
        }

        // The same model, every surface wound one way or the other and the
        // top triangles numbered in another order, both drawn from the seed.
        SampleModel rewritten_sample_of( const AnyModelCase& model_case )
        {
            auto sample = sample_of( model_case );
            rewind_surfaces_at_random( sample.model, model_case.seed );
            shuffle_surface_polygons(
                sample.model, sample.top_surfaces, model_case.seed + 1 );
            return sample;
        }

        PillarStructuralModelBuilderResult build_valid(
            SampleModel& sample, std::string_view what )
        {
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            const auto result = builder.build( {} );
            const auto report = validate_model( sample.model );
            EXPECT_TRUE( report.is_valid() ) << what << ": " << report.string();
            return result;
        }

        class BuildOfAnyWriting : public testing::TestWithParam< AnyModelCase >
        {
        };
    } // namespace

    // How the surfaces are wound and the top triangles numbered changes
    // nothing in the rebuilt model; the rebuilt model faces the right ways
    // and builds again into the same slices with the horizons where they
    // were.
    TEST_P( BuildOfAnyWriting, GivesTheSameConsistentlyWoundModel )
    {
        if( !factory_makes( GetParam() ) )
        {
            GTEST_SKIP() << "the factory refuses these parameters";
        }
        auto reference = sample_of( GetParam() );
        const auto reference_result = build_valid( reference, "reference" );
        auto rewritten = rewritten_sample_of( GetParam() );
        const auto input = rewritten.model.clone();
        const auto result = build_valid( rewritten, "rewritten" );

        EXPECT_EQ( test::summary_difference(
                       test::summarise_rebuilt_model(
                           reference.model, reference_result ),
                       test::summarise_rebuilt_model( rewritten.model, result ) ),
            "" );
        EXPECT_EQ( absl::StrJoin( test::wrongly_facing_surfaces( input,
                                      rewritten.model, rewritten.top_surfaces,
                                      rewritten.bottom_surfaces ),
                       "\n" ),
            "" );

        const auto first = rewritten.model.clone();
        const auto first_trees = create_surface_meshes_aabb_trees( first );
        const auto rebuilt_again = build_valid( rewritten, "rebuilt again" );
        EXPECT_EQ( test::summarise_rebuilt_model( rewritten.model, rebuilt_again )
                       .slices,
            test::summarise_rebuilt_model( first, result ).slices );
        for( const auto& horizon : rewritten.horizons )
        {
            for( const auto& id : horizon.items )
            {
                const auto& mesh = rewritten.model.surface( id ).mesh();
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    const auto& point = mesh.point( vertex );
                    const auto height =
                        test::height_of( first, first_trees, id, point );
                    ASSERT_TRUE( height ) << point.string();
                    EXPECT_NEAR( *height, point.value( 2 ), 1e-6 )
                        << point.string();
                }
            }
        }
    }

    namespace
    {
        std::vector< AnyModelCase > any_model_cases(
            absl::Span< const index_t > resolutions )
        {
            std::vector< AnyModelCase > cases;
            std::uint64_t seed = 1;
            for( const index_t nb_horizons : { 0, 1, 2, 3, 5 } )
            {
                for( const index_t nb_faults : { 0, 1, 2, 3 } )
                {
                    for( const auto triangles : resolutions )
                    {
                        cases.push_back(
                            { nb_horizons, nb_faults, triangles, seed++ } );
                    }
                }
            }
            return cases;
        }
    } // namespace

    INSTANTIATE_TEST_SUITE_P( FactoryModels, BuildOfAnyWriting,
        testing::ValuesIn( any_model_cases( { { 24, 60, 100, 400 } } ) ),
        case_name );

    namespace
    {
        class BuildOfManyHorizons : public testing::TestWithParam< AnyModelCase >
        {
        };
    } // namespace

    // Many horizons over coarse tops: the traces of the lines where horizons
    // meet faults are decimated to few edges, and the pillars on them must
    // still give every surface of the line its height.
    TEST_P( BuildOfManyHorizons, GivesAValidModel )
    {
        if( !factory_makes( GetParam() ) )
        {
            GTEST_SKIP() << "the factory refuses these parameters";
        }
        auto sample = sample_of( GetParam() );
        static_cast< void >( build_valid( sample, "model" ) );
    }

    INSTANTIATE_TEST_SUITE_P( FactoryModels, BuildOfManyHorizons,
        testing::ValuesIn( [] {
            std::vector< AnyModelCase > cases;
            for( const index_t nb_horizons : { 6, 8, 10 } )
            {
                for( const index_t nb_faults : { 0, 1, 2, 3 } )
                {
                    for( const index_t triangles : { 24, 60 } )
                    {
                        cases.push_back(
                            { nb_horizons, nb_faults, triangles, 1 } );
                    }
                }
            }
            return cases;
        }() ),
        case_name );
} // namespace brevane
