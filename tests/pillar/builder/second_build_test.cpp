#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/inspection/model_validation.h>

#include <pillar/pillar_structural_model_builder.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

namespace brevane
{
    // A build consumes the builder's plan view: a second build says so and
    // leaves the rebuilt model as it is; a new builder builds it again.
    TEST( SecondBuild, says_the_builder_is_used_up )
    {
        auto sample = build_sample_model( small_sample_parameters( 2, 1 ) );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        static_cast< void >( builder.build( {} ) );
        const auto nb_unique_vertices = sample.model.nb_unique_vertices();
        EXPECT_THAT(
            [&builder]
            {
                static_cast< void >( builder.build( {} ) );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( "Make a new builder on the model" ) ) );
        EXPECT_EQ( sample.model.nb_unique_vertices(), nb_unique_vertices );
        EXPECT_TRUE( validate_model( sample.model ).is_valid() );

        PillarStructuralModelBuilder again{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        static_cast< void >( again.build( {} ) );
        EXPECT_TRUE( validate_model( sample.model ).is_valid() );
    }
} // namespace brevane
