#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/small_sample_models.h>

#include <pillar/pillar_structural_model_builder.h>

#include <pillar/input_inspections.h>
#include "support/inspection_fixtures.h"

namespace brevane
{
    namespace
    {
        MultiZInspectionResult inspect_multi_z( StructuralModel& model,
            const std::vector< uuid >& top, const std::vector< uuid >& bottom )
        {
            PillarStructuralModelBuilder builder{ model, top, bottom };
            return builder.is_model_construction_possible().multi_z;
        }

        std::string multi_z_message( const uuid& surface )
        {
            return concatenate( "Surface with uuid ", surface.string(),
                " has multi z configurations" );
        }

        struct CenterMove
        {
            std::string name;
            Point3D center;
            bool folds;
        };

        void PrintTo( const CenterMove& move, std::ostream* out )
        {
            *out << move.name;
        }

        class TopCenterMove : public testing::TestWithParam< CenterMove >
        {
        };
    } // namespace

    // The top of the box has its inner vertex at (5, 5); its six triangles
    // are (0, 0) (5, 0) (5, 5); (0, 0) (5, 5) (0, 5); (5, 0) (10, 5) (5, 5);
    // (5, 5) (10, 5) (10, 10); (5, 5) (10, 10) (5, 10); (0, 5) (5, 5) (5, 10).
    TEST_P( TopCenterMove, reports_a_folded_top_surface_once )
    {
        const auto& move = GetParam();
        test::WalledBox box;
        test::move_unique_vertex( box.model,
            box.unique_vertex_at( Point3D{ { 5, 5, 10 } } ), move.center );
        const auto multi_z =
            inspect_multi_z( box.model, { box.top }, { box.bottom } );
        if( !move.folds )
        {
            EXPECT_EQ(
                multi_z.string(), "no issues with Multi z configurations.\n" );
            return;
        }
        EXPECT_THAT( multi_z.issues, testing::ElementsAre( box.top ) );
        EXPECT_EQ( multi_z.string(),
            concatenate( "1 issues with Multi z configurations.\n\t",
                multi_z_message( box.top ), "\n" ) );
    }

    INSTANTIATE_TEST_SUITE_P( Inspection, TopCenterMove,
        testing::Values(
            CenterMove{ "inside_its_ring", Point3D{ { 6, 4, 10 } }, false },
            CenterMove{
                "one_vertical_triangle", Point3D{ { 7.5, 2.5, 10 } }, true },
            CenterMove{ "one_folded_triangle", Point3D{ { 9, 1, 10 } }, true },
            CenterMove{
                "several_folded_triangles", Point3D{ { 30, 5, 10 } }, true } ),
        []( const testing::TestParamInfo< CenterMove >& info )
        {
            return info.param.name;
        } );

    TEST( MultiZInspection, examines_top_surfaces_only_and_reports_each_once )
    {
        test::WalledBox box;
        test::move_unique_vertex( box.model,
            box.unique_vertex_at( Point3D{ { 5, 5, 0 } } ),
            Point3D{ { 30, 5, 0 } } );
        EXPECT_EQ( inspect_multi_z( box.model, { box.top }, { box.bottom } )
                       .nb_issues(),
            0u );

        test::move_unique_vertex( box.model,
            box.unique_vertex_at( Point3D{ { 5, 5, 10 } } ),
            Point3D{ { 9, 1, 10 } } );
        // Both folded and both listed as top surfaces: reported in the
        // model's surface order, whatever the order of the list.
        const auto multi_z =
            inspect_multi_z( box.model, { box.bottom, box.top }, {} );
        EXPECT_THAT(
            multi_z.issues, testing::ElementsAre( box.top, box.bottom ) );
        EXPECT_THAT(
            multi_z.messages, testing::ElementsAre( multi_z_message( box.top ),
                                  multi_z_message( box.bottom ) ) );
    }

    TEST( MultiZInspection, a_fold_at_either_end_of_the_triangle_list_is_found )
    {
        // One triangle of the top turned over: the first one (every other
        // triangle then disagrees with it) or the last one (only the last
        // triangle disagrees with the others).
        const test::WalledBox untouched;
        const auto nb_triangles =
            untouched.model.surface( untouched.top ).mesh().nb_polygons();
        for( const index_t triangle : { index_t{ 0 }, nb_triangles - 1 } )
        {
            test::WalledBox box;
            test::reverse_triangle( box.model, box.top, triangle );
            const auto multi_z =
                inspect_multi_z( box.model, { box.top }, { box.bottom } );
            EXPECT_THAT( multi_z.issues, testing::ElementsAre( box.top ) )
                << "triangle " << triangle;
            EXPECT_THAT( multi_z.messages,
                testing::ElementsAre( multi_z_message( box.top ) ) )
                << "triangle " << triangle;
        }
    }

    TEST( MultiZInspection, sample_folds_are_found_on_top_surfaces_only )
    {
        struct Fold
        {
            std::string surface;
            std::vector< index_t > reversed_triangles;
            bool reported;
        };
        for( const auto& fold : { Fold{ "top_block_1", { 3 }, true },
                 Fold{ "top_block_1", { 0, 4, 7 }, true },
                 Fold{ "horizon_1_block_0", { 2 }, false } } )
        {
            auto sample = one_fault_model();
            const auto id =
                test::surface_named( sample.model, fold.surface ).id();
            for( const auto triangle : fold.reversed_triangles )
            {
                test::reverse_triangle( sample.model, id, triangle );
            }
            const auto multi_z = inspect_multi_z(
                sample.model, sample.top_surfaces, sample.bottom_surfaces );
            if( fold.reported )
            {
                EXPECT_THAT( multi_z.messages,
                    testing::ElementsAre( multi_z_message( id ) ) )
                    << fold.surface;
                EXPECT_THAT( multi_z.issues, testing::ElementsAre( id ) );
            }
            else
            {
                EXPECT_EQ( multi_z.nb_issues(), 0u ) << fold.surface;
            }
        }
    }

    TEST( MultiZInspection, sample_vertical_top_triangle )
    {
        auto sample = one_fault_model();
        const auto& top = test::surface_named( sample.model, "top_block_1" );
        const auto& mesh = top.mesh();
        const auto inner = test::inner_vertices( mesh );
        ASSERT_FALSE( inner.empty() );
        // A triangle at the inner vertex becomes vertical when the inner
        // vertex takes the plan position of another of its vertices.
        const auto corner = mesh.polygon_around_vertex( inner.front() ).value();
        const auto other =
            mesh.polygon_vertex( mesh.next_polygon_vertex( corner ) );
        const auto& inner_point = mesh.point( inner.front() );
        const auto& other_point = mesh.point( other );
        test::move_unique_vertex( sample.model,
            sample.model.unique_vertex( { top.component_id(), inner.front() } ),
            Point3D{ { other_point.value( 0 ), other_point.value( 1 ),
                inner_point.value( 2 ) + 1 } } );
        const auto multi_z = inspect_multi_z(
            sample.model, sample.top_surfaces, sample.bottom_surfaces );
        EXPECT_THAT( multi_z.messages,
            testing::ElementsAre( multi_z_message( top.id() ) ) );
    }

    TEST( MultiZInspection, ignores_unknown_ids_and_names_untriangulated_tops )
    {
        test::WalledBox box;
        const uuid unknown;
        const std::vector< uuid > top{ unknown, box.top };
        const auto triangles =
            internal::top_surface_triangles( { box.model, top, {} } );
        ASSERT_EQ( triangles.size(), 1u );
        const auto& plan = triangles.at( box.top );
        ASSERT_EQ( plan.size(), 8u );
        // The first triangle of the grid: (0, 0) (5, 0) (5, 5), at z = 10.
        EXPECT_EQ( plan.front()[1], ( Point2D{ { 5, 0 } } ) );
        EXPECT_EQ( plan.front()[2], ( Point2D{ { 5, 5 } } ) );
        EXPECT_EQ(
            internal::inspect_multi_z( { box.model, top, {} } ).nb_issues(),
            0u );

        StructuralModelBuilder builder{ box.model };
        const auto& quads =
            builder.add_surface( PolygonalSurface< 3 >::create() );
        builder.set_name( quads, "quads" );
        const std::vector< uuid > with_quads{ box.top, quads };
        EXPECT_THAT(
            [&]
            {
                (void)internal::inspect_multi_z(
                    { box.model, with_quads, {} } );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( concatenate( "Top surface \"quads\" (",
                    quads.string(), ") is not a triangulated surface" ) ) ) );
    }
} // namespace brevane
