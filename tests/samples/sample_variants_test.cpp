#include <gtest/gtest.h>

#include <absl/container/flat_hash_set.h>

#include <tessark/inspection/model_validation.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "sample_checks.h"

namespace brevane
{
    namespace
    {
        SampleModelParameters faulted_parameters(
            index_t nb_horizons, index_t nb_faults, index_t target )
        {
            SampleModelParameters parameters;
            parameters.nb_horizons = nb_horizons;
            parameters.faults = spread_faults( parameters.box, nb_faults );
            parameters.resolution.target_top_triangles = target;
            return parameters;
        }

        std::vector< uuid > all_surfaces( const StructuralModel& model )
        {
            std::vector< uuid > result;
            for( const auto& surface : model.surfaces() )
            {
                result.push_back( surface.id() );
            }
            return result;
        }
    } // namespace

    TEST( SampleModelVariants, horizons_meeting_a_fault_at_one_point_share_it )
    {
        // Without throw, each horizon meets the faults at the same points
        // from both sides.
        auto parameters = faulted_parameters( 3, 2, 600 );
        for( auto& fault : parameters.faults )
        {
            fault.vertical_throw = 0;
        }
        test::check_sample_model(
            build_sample_model( parameters ), parameters, 3 );

        // A throw of one horizon spacing brings horizon h + 1 of the
        // hanging wall against horizon h of the footwall.
        auto offset = faulted_parameters( 3, 1, 600 );
        offset.horizon_depths = { 100, 200, 300 };
        offset.faults[0].vertical_throw = 100;
        const auto sample = build_sample_model( offset );
        test::check_sample_model( sample, offset, 2 );
        const auto& model = sample.model;
        const auto& shared = model.line(
            model.boundaries( sample.horizons[0].items[1] )[0].id() );
        const auto shared_by = model.incidences( shared.id() );
        ASSERT_EQ( shared_by.size(), 4u );
        EXPECT_EQ(
            model.surface( shared_by[0].id() ).name(), "fault_1_piece_1" );
        EXPECT_EQ(
            model.surface( shared_by[1].id() ).name(), "fault_1_piece_2" );
        EXPECT_EQ(
            model.surface( shared_by[2].id() ).name(), "horizon_1_block_1" );
        EXPECT_EQ(
            model.surface( shared_by[3].id() ).name(), "horizon_2_block_0" );
    }

    TEST( SampleModelVariants, reverse_faults_dipping_to_x_min )
    {
        auto parameters = faulted_parameters( 2, 2, 800 );
        for( auto& fault : parameters.faults )
        {
            fault.dips_towards_x_max = false;
            fault.vertical_throw = -fault.vertical_throw;
        }
        parameters.faults[1].dip_degrees = 90;
        test::check_sample_model(
            build_sample_model( parameters ), parameters, 0 );
    }

    TEST( SampleModelVariants, given_depths_and_edge_lengths_are_honoured )
    {
        auto parameters = faulted_parameters( 2, 1, 1 );
        parameters.horizon_depths = { 50, 380 };
        parameters.resolution.topography_edge_length = 100;
        parameters.resolution.horizon_edge_lengths = { 200, 0 };
        parameters.resolution.side_edge_length = 150;
        const auto sample = build_sample_model( parameters );
        test::check_sample_model( sample, parameters, 0 );
        const auto& model = sample.model;
        // A 10 x 10 grid of squares, plus the strips along the lines.
        const auto nb_top = test::nb_triangles( model, sample.top_surfaces );
        EXPECT_GE( nb_top, 200u );
        EXPECT_LE( nb_top, 240u );
        const auto nb_first =
            test::nb_triangles( model, sample.horizons[0].items );
        EXPECT_GE( nb_first, 50u );
        EXPECT_LE( nb_first, 70u );
        // The second horizon takes the default, derived from a single top
        // triangle: one column per piece, with the rows of its lines.
        const auto nb_second =
            test::nb_triangles( model, sample.horizons[1].items );
        EXPECT_LT( nb_second, nb_first );
        // The first horizon sits 50 below the mean top in the footwall.
        const auto box =
            model.surface( sample.horizons[0].items[0] ).mesh().bounding_box();
        EXPECT_LT( box.max().value( 2 ), 500 );
        EXPECT_GT( box.min().value( 2 ), 400 );
    }

    TEST( SampleModelVariants, top_triangles_follow_the_target )
    {
        for( const index_t target : { 1000u, 20000u } )
        {
            const auto sample =
                build_sample_model( faulted_parameters( 1, 2, target ) );
            const auto nb_top =
                test::nb_triangles( sample.model, sample.top_surfaces );
            EXPECT_GE( nb_top, 0.9 * target );
            EXPECT_LE( nb_top, 1.2 * target );
            // Every other kind of surface is coarser than the topography.
            EXPECT_LT(
                test::nb_triangles( sample.model, sample.horizons[0].items ),
                nb_top );
            EXPECT_LT(
                test::nb_triangles( sample.model, sample.bottom_surfaces ),
                nb_top );
        }
    }

    TEST( SampleModelVariants, surfaces_do_not_line_up_in_plan_view )
    {
        const auto sample =
            build_sample_model( faulted_parameters( 2, 1, 2000 ) );
        const auto& model = sample.model;
        absl::flat_hash_set< std::pair< double, double > > horizon_plan;
        for( const auto& id : sample.horizons[0].items )
        {
            const auto& mesh = model.surface( id ).mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                horizon_plan.emplace( mesh.point( vertex ).value( 0 ),
                    mesh.point( vertex ).value( 1 ) );
            }
        }
        index_t nb_shared{ 0 };
        for( const auto& id : sample.top_surfaces )
        {
            const auto& mesh = model.surface( id ).mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                nb_shared +=
                    horizon_plan.contains( { mesh.point( vertex ).value( 0 ),
                        mesh.point( vertex ).value( 1 ) } );
            }
        }
        // Only the four vertical edges of the box.
        EXPECT_EQ( nb_shared, 4u );
    }

    TEST( SampleModelVariants, same_parameters_give_the_same_meshes )
    {
        const auto parameters = faulted_parameters( 3, 2, 1500 );
        const auto first = build_sample_model( parameters );
        const auto second = build_sample_model( parameters );
        auto other_seed = parameters;
        other_seed.seed = 2;
        const auto third = build_sample_model( other_seed );
        const auto first_surfaces = all_surfaces( first.model );
        const auto second_surfaces = all_surfaces( second.model );
        const auto third_surfaces = all_surfaces( third.model );
        ASSERT_EQ( first_surfaces.size(), second_surfaces.size() );
        index_t nb_moved{ 0 };
        for( std::size_t surface = 0; surface < first_surfaces.size();
             surface++ )
        {
            const auto& mesh =
                first.model.surface( first_surfaces[surface] ).mesh();
            const auto& same =
                second.model.surface( second_surfaces[surface] ).mesh();
            const auto& other =
                third.model.surface( third_surfaces[surface] ).mesh();
            EXPECT_EQ( first.model.surface( first_surfaces[surface] ).name(),
                second.model.surface( second_surfaces[surface] ).name() );
            ASSERT_EQ( mesh.nb_vertices(), same.nb_vertices() );
            ASSERT_EQ( mesh.nb_polygons(), same.nb_polygons() );
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                ASSERT_EQ( mesh.point( vertex ), same.point( vertex ) );
                ASSERT_EQ( first.model.unique_vertex(
                               { first.model.surface( first_surfaces[surface] )
                                       .component_id(),
                                   vertex } ),
                    second.model.unique_vertex(
                        { second.model.surface( second_surfaces[surface] )
                                .component_id(),
                            vertex } ) );
            }
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                ASSERT_EQ( mesh.polygon_vertices( polygon ),
                    same.polygon_vertices( polygon ) );
            }
            bool moved{ other.nb_vertices() != mesh.nb_vertices() };
            for( index_t vertex = 0; !moved && vertex < mesh.nb_vertices();
                 vertex++ )
            {
                moved = !( other.point( vertex ) == mesh.point( vertex ) );
            }
            nb_moved += moved;
        }
        // Another seed moves the hills and the samples of every surface.
        EXPECT_EQ( nb_moved, first_surfaces.size() );
    }

    TEST( SampleModelVariants, builds_a_hundred_thousand_top_triangles )
    {
        const auto parameters = faulted_parameters( 5, 2, 100000 );
        const auto sample = build_sample_model( parameters );
        const auto& model = sample.model;
        const auto counts = test::expected_counts( 5, 2, 0 );
        EXPECT_EQ( model.nb_surfaces(), counts.surfaces );
        const auto nb_top = test::nb_triangles( model, sample.top_surfaces );
        EXPECT_GE( nb_top, 90000u );
        EXPECT_LE( nb_top, 120000u );
        EXPECT_GT(
            test::nb_triangles( model, all_surfaces( model ) ), 4 * nb_top );
        const auto report = validate_model( model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
    }
} // namespace brevane
