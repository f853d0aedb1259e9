#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <tessark/model/structural_model_builder.h>

#include <samples/small_sample_models.h>

#include <pillar/pillar_structural_model_builder.h>

namespace brevane
{
    namespace
    {
        // Puts any component into any collection, as a model read from
        // elsewhere may do.
        class AnyItemBuilder : public StructuralModelBuilder
        {
        public:
            using BRepBuilder::add_item;
            using StructuralModelBuilder::StructuralModelBuilder;
        };

        SurfacesCollectionInspectionResult inspect_tags( SampleModel& sample )
        {
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            return builder.is_model_construction_possible().surfaces_collection;
        }

        std::string tag_message( std::string_view name )
        {
            return concatenate( "Surface with name ", name,
                " is neither tagged as a fault nor as a horizon" );
        }

        struct TagCase
        {
            std::string name;
            // Adds or changes one surface; returns its name when it is to be
            // reported.
            std::function< std::optional< std::string >( SampleModel& ) > edit;
        };

        void PrintTo( const TagCase& tag, std::ostream* out )
        {
            *out << tag.name;
        }

        class SampleSurfaceTag : public testing::TestWithParam< TagCase >
        {
        };

        const uuid& add_named_surface(
            AnyItemBuilder& builder, std::string_view name )
        {
            const auto& id = builder.add_surface();
            builder.set_name( id, name );
            return id;
        }
    } // namespace

    TEST_P( SampleSurfaceTag, reports_surfaces_without_a_placing_tag )
    {
        auto sample = one_fault_model();
        const auto expected = GetParam().edit( sample );
        const auto result = inspect_tags( sample );
        if( !expected )
        {
            EXPECT_EQ( result.string(), "no issues with Surfaces not tagged as "
                                        "faults or as horizons.\n" );
            return;
        }
        ASSERT_EQ( result.nb_issues(), 1u );
        EXPECT_EQ(
            sample.model.surface( result.issues.front() ).name(), *expected );
        EXPECT_EQ(
            result.string(), concatenate( "1 issues with Surfaces not tagged "
                                          "as faults or as horizons.\n\t",
                                 tag_message( *expected ), "\n" ) );
    }

    INSTANTIATE_TEST_SUITE_P( Inspection, SampleSurfaceTag,
        testing::Values(
            TagCase{ "in_no_collection",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    add_named_surface( builder, "loose" );
                    return "loose";
                } },
            TagCase{ "with_an_empty_name",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    builder.add_surface();
                    return "";
                } },
            TagCase{ "only_in_a_fault_block",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    const auto& id = add_named_surface( builder, "blocky" );
                    builder.add_item( id, sample.fault_blocks.front().id );
                    return "blocky";
                } },
            TagCase{ "only_in_a_generic_collection",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    const auto& id = add_named_surface( builder, "grouped" );
                    const auto& collection = builder.add_surface_collection();
                    builder.add_surface_in_surface_collection(
                        sample.model.surface( id ),
                        sample.model.surface_collection( collection ) );
                    return "grouped";
                } },
            TagCase{ "taken_out_of_its_horizon",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    const auto& horizon = sample.horizons.front();
                    builder.remove_relation(
                        horizon.items.front(), horizon.id );
                    return std::string{
                        sample.model.surface( horizon.items.front() ).name()
                    };
                } },
            TagCase{ "only_in_a_model_boundary",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    const auto& id = add_named_surface( builder, "bounding" );
                    builder.add_surface_in_model_boundary(
                        sample.model.surface( id ),
                        sample.model.model_boundary( sample.top_boundary ) );
                    return std::nullopt;
                } },
            TagCase{ "only_in_a_fault",
                []( SampleModel& sample ) -> std::optional< std::string >
                {
                    AnyItemBuilder builder{ sample.model };
                    const auto& id = add_named_surface( builder, "faulty" );
                    builder.add_surface_in_fault( sample.model.surface( id ),
                        sample.model.fault( sample.faults.front().id ) );
                    return std::nullopt;
                } } ),
        []( const testing::TestParamInfo< TagCase >& info )
        {
            return info.param.name;
        } );

    TEST( SurfacesCollectionInspection, reports_surfaces_in_model_order )
    {
        auto sample = flat_layer_cake();
        AnyItemBuilder builder{ sample.model };
        add_named_surface( builder, "first" );
        const auto& horizon = sample.horizons.back();
        builder.remove_relation( horizon.items.front(), horizon.id );
        add_named_surface( builder, "last" );
        EXPECT_THAT( inspect_tags( sample ).messages,
            testing::ElementsAre(
                tag_message(
                    sample.model.surface( horizon.items.front() ).name() ),
                tag_message( "first" ), tag_message( "last" ) ) );
    }
} // namespace brevane
