#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include <tessark/model/structural_model_builder.h>

#include <samples/small_sample_models.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/pillar_structural_model_exception.h>

#include "inspection/run_checks_concurrently.h"
#include "support/inspection_fixtures.h"

namespace brevane
{
    namespace
    {
        template < typename Record >
        void expect_same_record( const Record& first, const Record& second )
        {
            EXPECT_EQ( first.description, second.description );
            EXPECT_EQ( first.issues, second.issues );
            EXPECT_EQ( first.messages, second.messages );
        }

        void expect_same_result(
            const PillarStructuralModelInspectionResult& first,
            const PillarStructuralModelInspectionResult& second )
        {
            expect_same_record( first.multi_z, second.multi_z );
            expect_same_record( first.lines, second.lines );
            expect_same_record( first.points_too_far, second.points_too_far );
            expect_same_record(
                first.surfaces_collection, second.surfaces_collection );
        }

        // One defect of each kind: a reversed top triangle, a line cut from
        // one of its two surfaces, a wall vertex 1 off the border, an
        // untagged surface.
        SampleModel sample_with_every_defect()
        {
            auto sample = one_fault_model();
            const auto& top =
                test::surface_named( sample.model, "top_block_0" );
            test::reverse_triangle( sample.model, top.id(), 1 );
            StructuralModelBuilder builder{ sample.model };
            for( const auto& line : sample.model.lines() )
            {
                if( sample.model.nb_incidences( line.id() ) == 2 )
                {
                    builder.remove_relation( line.id(),
                        sample.model.incidences( line.id() ).front().id() );
                    break;
                }
            }
            const auto& wall = test::surface_named(
                sample.model, "side_y_min_block_0_layer_1" );
            const auto vertex = test::border_vertices( wall.mesh() ).front();
            auto moved = wall.mesh().point( vertex );
            moved.set_value( 1, moved.value( 1 ) - 1 );
            test::move_unique_vertex( sample.model,
                sample.model.unique_vertex( { wall.component_id(), vertex } ),
                moved );
            builder.set_name( builder.add_surface(), "loose" );
            return sample;
        }
    } // namespace

    TEST( ConcurrentChecks, every_check_runs_and_the_first_failure_wins )
    {
        std::array< std::atomic< int >, 4 > runs{};
        const std::array< std::function< void() >, 4 > checks{
            [&runs]
            {
                runs[0]++;
            },
            [&runs]
            {
                runs[1]++;
                throw std::runtime_error{ "second" };
            },
            [&runs]
            {
                runs[2]++;
            },
            [&runs]
            {
                runs[3]++;
                throw std::logic_error{ "fourth" };
            },
        };
        // Counted once the call has returned: it waited for all four.
        EXPECT_THAT(
            [&checks]
            {
                internal::run_checks_concurrently( checks );
            },
            testing::ThrowsMessage< std::runtime_error >(
                testing::StrEq( "second" ) ) );
        for( const auto& count : runs )
        {
            EXPECT_EQ( count.load(), 1 );
        }
    }

    TEST( Inspection, clean_samples_have_no_issue )
    {
        for( const auto& make :
            { flat_layer_cake, one_fault_model, two_faults_model } )
        {
            auto sample = make();
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            EXPECT_EQ( builder.is_model_construction_possible().string(),
                "no issues with Multi z configurations.\n"
                "no issues with Lines not crossing the entire model.\n"
                "no issues with Points too far from topography boundaries.\n"
                "no issues with Surfaces not tagged as faults or as "
                "horizons.\n" );
        }
    }

    TEST( Inspection, finds_one_defect_of_each_kind_the_same_way_twice )
    {
        auto sample = sample_with_every_defect();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        const auto first = builder.is_model_construction_possible();
        EXPECT_EQ( first.multi_z.nb_issues(), 1u );
        EXPECT_EQ( first.lines.nb_issues(), 1u );
        EXPECT_EQ( first.points_too_far.nb_issues(), 1u );
        EXPECT_EQ( first.surfaces_collection.nb_issues(), 1u );
        const auto& second = builder.is_model_construction_possible();
        expect_same_result( first, second );
        EXPECT_EQ( first.string(), second.string() );
    }

    TEST( Inspection, build_without_inspection_refuses_a_defective_model )
    {
        auto sample = sample_with_every_defect();
        const auto nb_surfaces = sample.model.nb_surfaces();
        const auto nb_lines = sample.model.nb_lines();
        const auto& top = test::surface_named( sample.model, "top_block_0" );
        const auto nb_top_triangles = top.mesh().nb_polygons();
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        try
        {
            (void)builder.build( {} );
            ADD_FAILURE() << "The build did not refuse the model";
        }
        catch( const PillarStructuralModelException& refusal )
        {
            EXPECT_THAT( refusal.what(),
                testing::StartsWith(
                    "Pillar model construction is not possible. Failed checks: " ) );
            PillarStructuralModelBuilder inspector{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            expect_same_result( refusal.inspection_result,
                inspector.is_model_construction_possible() );
        }
        EXPECT_EQ( sample.model.nb_surfaces(), nb_surfaces );
        EXPECT_EQ( sample.model.nb_lines(), nb_lines );
        EXPECT_EQ( top.mesh().nb_polygons(), nb_top_triangles );
    }
} // namespace brevane
