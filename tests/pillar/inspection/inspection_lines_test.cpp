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
        LinesInspectionResult inspect_lines( SampleModel& sample )
        {
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            return builder.is_model_construction_possible().lines;
        }

        std::string line_message( const uuid& line )
        {
            return concatenate(
                "Line ", line.string(), " is not crossing the entire model" );
        }

        // The lines bounding exactly two surfaces and embedded in none, in
        // model order.
        std::vector< uuid > two_sided_lines( const StructuralModel& model )
        {
            std::vector< uuid > lines;
            for( const auto& line : model.lines() )
            {
                if( model.nb_incidences( line.id() ) == 2
                    && model.nb_embedding_surfaces( line.id() ) == 0 )
                {
                    lines.push_back( line.id() );
                }
            }
            return lines;
        }

        struct LineEdit
        {
            std::string name;
            // Changes the model around the given two-sided line and returns
            // the line whose issue is expected, if any.
            std::function< std::optional< uuid >(
                StructuralModel&, const uuid& ) >
                edit;
        };

        void PrintTo( const LineEdit& edit, std::ostream* out )
        {
            *out << edit.name;
        }

        class SampleLineEdit : public testing::TestWithParam< LineEdit >
        {
        };
    } // namespace

    TEST_P( SampleLineEdit, reports_lines_bounding_one_surface_inside_none )
    {
        auto sample = one_fault_model();
        const auto lines = two_sided_lines( sample.model );
        ASSERT_FALSE( lines.empty() );
        const auto expected = GetParam().edit( sample.model, lines.front() );
        const auto result = inspect_lines( sample );
        if( !expected )
        {
            EXPECT_EQ( result.string(),
                "no issues with Lines not crossing the entire model.\n" );
            return;
        }
        EXPECT_THAT( result.issues, testing::ElementsAre( *expected ) );
        EXPECT_EQ( result.string(),
            concatenate(
                "1 issues with Lines not crossing the entire model.\n\t",
                line_message( *expected ), "\n" ) );
    }

    INSTANTIATE_TEST_SUITE_P( Inspection, SampleLineEdit,
        testing::Values(
            LineEdit{ "bounding_two_surfaces",
                []( StructuralModel&, const uuid& ) -> std::optional< uuid >
                {
                    return std::nullopt;
                } },
            LineEdit{ "bounding_one_surface",
                []( StructuralModel& model,
                    const uuid& line ) -> std::optional< uuid >
                {
                    StructuralModelBuilder builder{ model };
                    builder.remove_relation(
                        line, model.incidences( line ).front().id() );
                    return line;
                } },
            LineEdit{ "bounding_one_surface_inside_another",
                []( StructuralModel& model,
                    const uuid& line ) -> std::optional< uuid >
                {
                    StructuralModelBuilder builder{ model };
                    const auto surface = model.incidences( line ).front().id();
                    builder.remove_relation( line, surface );
                    builder.add_line_surface_internal_relationship(
                        model.line( line ), model.surface( surface ) );
                    return std::nullopt;
                } },
            LineEdit{ "bounding_no_surface",
                []( StructuralModel& model,
                    const uuid& line ) -> std::optional< uuid >
                {
                    StructuralModelBuilder builder{ model };
                    for( const auto& surface : model.incidences( line ) )
                    {
                        builder.remove_relation( line, surface.id() );
                    }
                    builder.add_line();
                    return std::nullopt;
                } } ),
        []( const testing::TestParamInfo< LineEdit >& info )
        {
            return info.param.name;
        } );

    TEST( LinesInspection, reports_lines_in_model_order )
    {
        auto sample = two_faults_model();
        const auto lines = two_sided_lines( sample.model );
        ASSERT_GE( lines.size(), 3u );
        StructuralModelBuilder builder{ sample.model };
        // Cut in the reverse order: the report follows the model, not the
        // edits.
        for( const auto& line : { lines[2], lines[0] } )
        {
            builder.remove_relation(
                line, sample.model.incidences( line ).back().id() );
        }
        EXPECT_THAT( inspect_lines( sample ).messages,
            testing::ElementsAre(
                line_message( lines[0] ), line_message( lines[2] ) ) );
    }
} // namespace brevane
