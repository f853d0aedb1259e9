#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include <absl/strings/str_cat.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "pillar/support/pillar_stage_fixture.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order_search.h"

namespace brevane
{
    namespace
    {
        struct OrderCase
        {
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
        };

        std::string case_name( const testing::TestParamInfo< OrderCase >& info )
        {
            return absl::StrCat( "H", info.param.nb_horizons, "_F",
                info.param.nb_faults, "_T", info.param.target_top_triangles );
        }

        SampleModel sample_of( const OrderCase& order_case )
        {
            auto parameters = small_sample_parameters(
                order_case.nb_horizons, order_case.nb_faults );
            parameters.resolution.target_top_triangles =
                order_case.target_top_triangles;
            return build_sample_model( parameters );
        }

        // The order of a sample model by names: faults dip towards x max,
        // so the block on the x max side of each fault lies above it. From
        // the top: the last block's horizons, the last fault, and so on.
        std::vector< std::vector< std::string > > expected_order_names(
            const test::PillarStageFixture& fixture, index_t nb_horizons,
            index_t nb_faults )
        {
            std::vector< std::vector< std::string > > names;
            for( index_t block = nb_faults + 1; block-- > 0; )
            {
                for( index_t horizon = 1; horizon <= nb_horizons; horizon++ )
                {
                    names.push_back( { absl::StrCat(
                        "horizon_", horizon, "_block_", block ) } );
                }
                if( block == 0 )
                {
                    break;
                }
                const auto& fault = fixture.sample.faults[block - 1];
                names.push_back( fixture.names_of( { fault.items } ).front() );
            }
            if( nb_horizons == 0 )
            {
                // Without horizons the faults come in model order.
                names.clear();
                for( const auto& fault : fixture.sample.faults )
                {
                    names.push_back(
                        fixture.names_of( { fault.items } ).front() );
                }
            }
            return names;
        }

        class SurfaceGroupsOrderOnSamples
            : public testing::TestWithParam< OrderCase >
        {
        };
    } // namespace

    TEST_P( SurfaceGroupsOrderOnSamples, ListsEachBlockThenTheFaultBelowIt )
    {
        const auto& order_case = GetParam();
        const test::PillarStageFixture fixture{ sample_of( order_case ) };
        const auto expected_size =
            order_case.nb_horizons * ( order_case.nb_faults + 1 )
            + order_case.nb_faults;
        ASSERT_EQ( fixture.order.size(), expected_size );
        EXPECT_EQ( fixture.names_of( fixture.order ),
            expected_order_names(
                fixture, order_case.nb_horizons, order_case.nb_faults ) );
    }

    // The order must not depend on which columns come first: triangle 0
    // over the hanging wall, over the footwall, over the band where columns
    // cross a fault, or any shuffle of all triangles.
    TEST_P( SurfaceGroupsOrderOnSamples, DoesNotDependOnTheSamplingOrder )
    {
        const auto& order_case = GetParam();
        const test::PillarStageFixture fixture{ sample_of( order_case ) };
        const auto& plan_view = *fixture.plan.surface;
        const auto nb_triangles = plan_view.nb_polygons();
        std::vector< index_t > triangles( nb_triangles );
        std::iota( triangles.begin(), triangles.end(), 0 );

        std::vector< std::vector< index_t > > orders;
        // First the triangle nearest to each of several x positions, then
        // the others in index order.
        const auto length_x =
            fixture.sample.model.bounding_box().max().value( 0 );
        for( const auto fraction : { 0.02, 0.25, 0.36, 0.5, 0.64, 0.75, 0.98 } )
        {
            auto order = triangles;
            const auto nearest = std::min_element( order.begin(), order.end(),
                [&]( index_t first, index_t second )
                {
                    return std::abs(
                               plan_view.polygon_barycenter( first ).value( 0 )
                               - fraction * length_x )
                           < std::abs(
                               plan_view.polygon_barycenter( second ).value( 0 )
                               - fraction * length_x );
                } );
            std::rotate( order.begin(), nearest, nearest + 1 );
            orders.push_back( order );
        }
        for( const auto seed : { 1u, 2u, 3u, 4u, 5u } )
        {
            auto order = triangles;
            std::shuffle( order.begin(), order.end(), std::mt19937{ seed } );
            orders.push_back( order );
        }
        for( const auto& order : orders )
        {
            const auto found = internal::search_surface_groups_order(
                fixture.sampling(), fixture.groups, fixture.bottom_z,
                absl::MakeConstSpan( order ) );
            EXPECT_EQ( found.order, fixture.order )
                << "sampling starting with triangle " << order.front();
        }
    }

    INSTANTIATE_TEST_SUITE_P( FactoryModels, SurfaceGroupsOrderOnSamples,
        testing::Values( OrderCase{ 0, 1, 24 }, OrderCase{ 0, 2, 24 },
            OrderCase{ 1, 0, 24 }, OrderCase{ 1, 1, 24 }, OrderCase{ 1, 2, 60 },
            OrderCase{ 2, 0, 24 }, OrderCase{ 2, 1, 24 }, OrderCase{ 2, 2, 24 },
            OrderCase{ 3, 1, 200 }, OrderCase{ 4, 2, 60 },
            OrderCase{ 5, 0, 60 }, OrderCase{ 5, 2, 400 } ),
        case_name );

    TEST(
        SurfaceGroupsOrder, EmptyWithoutHorizonItemsOrFaultsAndNoColumnSampled )
    {
        const test::PillarStageFixture fixture{ build_sample_model(
            small_sample_parameters( 0, 0 ) ) };
        const auto found = internal::search_surface_groups_order(
            fixture.sampling(), fixture.groups, fixture.bottom_z );
        EXPECT_TRUE( found.order.empty() );
        EXPECT_EQ( found.nb_sampled_columns, 0 );
    }

    // A new user's first model: a box with a flat top, one horizon and a
    // flat bottom. Every column meets one group only.
    TEST( SurfaceGroupsOrder, OneFlatHorizonWithoutFault )
    {
        auto parameters = small_sample_parameters( 1, 0 );
        parameters.topography.hills_amplitude = 0;
        const test::PillarStageFixture fixture{ build_sample_model(
            parameters ) };
        EXPECT_EQ( fixture.names_of( fixture.order ),
            ( std::vector< std::vector< std::string > >{
                { "horizon_1_block_0" } } ) );
    }

    TEST( SurfaceGroupsOrder, FailsWhenTheColumnsNeverCompleteIt )
    {
        const test::PillarStageFixture fixture{ one_fault_model() };
        // Columns of the footwall only never show the fault.
        std::vector< index_t > footwall;
        const auto& plan_view = *fixture.plan.surface;
        for( index_t triangle = 0; triangle < plan_view.nb_polygons();
             triangle++ )
        {
            if( plan_view.polygon_barycenter( triangle ).value( 0 ) < 20 )
            {
                footwall.push_back( triangle );
            }
        }
        ASSERT_FALSE( footwall.empty() );
        try
        {
            static_cast< void >( internal::search_surface_groups_order(
                fixture.sampling(), fixture.groups, fixture.bottom_z,
                absl::MakeConstSpan( footwall ) ) );
            FAIL() << "the search should fail";
        }
        catch( const TessarkException& error )
        {
            // The hanging wall's horizons are never met by these columns.
            EXPECT_THAT( error.what(),
                testing::AllOf(
                    testing::HasSubstr( "\"horizon_1_block_1\"" ),
                    testing::HasSubstr( "\"horizon_2_block_1\"" ),
                    testing::HasSubstr( "are never met one above the other "
                                        "in one column" ) ) );
        }
    }

    TEST( SurfaceGroupsOrder, SamplingStopsOnceComplete )
    {
        auto parameters = small_sample_parameters( 3, 2 );
        parameters.resolution.target_top_triangles = 2000;
        const test::PillarStageFixture fixture{ build_sample_model(
            parameters ) };
        const auto found = internal::search_surface_groups_order(
            fixture.sampling(), fixture.groups, fixture.bottom_z );
        EXPECT_EQ( found.order, fixture.order );
        EXPECT_LT(
            found.nb_sampled_columns, fixture.plan.surface->nb_polygons() );
        EXPECT_LE( found.nb_recorded_columns, found.nb_sampled_columns );
    }

    TEST( SurfaceGroupsOrder, ColumnHitsAreHighestFirstAndSkipModelBoundaries )
    {
        const test::PillarStageFixture fixture{ two_faults_model() };
        const auto& model = fixture.sample.model;
        for( index_t triangle = 0;
             triangle < fixture.plan.surface->nb_polygons(); triangle++ )
        {
            const auto hits = internal::column_hits(
                fixture.sampling(), triangle, fixture.bottom_z );
            for( std::size_t hit = 0; hit < hits.size(); hit++ )
            {
                EXPECT_FALSE( internal::is_in_collection_of_type(
                    model, hits[hit].surface, "ModelBoundary" ) );
                if( hit > 0 )
                {
                    EXPECT_GE( hits[hit - 1].point.value( 2 ),
                        hits[hit].point.value( 2 ) );
                }
            }
            // Every column crosses every horizon of the block it stands in.
            EXPECT_GE( hits.size(), 2 ) << "triangle " << triangle;
        }
    }

    // Two factory calls with the same parameters give the same meshes under
    // new uuids, so every hash container is keyed differently: the order and
    // the pillars must still be the same, by name and bit for bit.
    TEST( SurfaceGroupsOrder, SameModelUnderOtherUuidsGivesTheSameOrder )
    {
        const test::PillarStageFixture first{ build_sample_model(
            small_sample_parameters( 3, 2 ) ) };
        const test::PillarStageFixture second{ build_sample_model(
            small_sample_parameters( 3, 2 ) ) };
        EXPECT_EQ(
            first.names_of( first.order ), second.names_of( second.order ) );
    }

    TEST( SurfaceGroups, OneGroupPerHorizonAndBlockThenOnePerFault )
    {
        const test::PillarStageFixture fixture{ one_fault_model() };
        const auto names = fixture.names_of( fixture.groups );
        // Two horizons in two fault blocks, then the fault.
        ASSERT_EQ( names.size(), 5 );
        for( index_t group = 0; group < 4; group++ )
        {
            ASSERT_EQ( names[group].size(), 1 );
            EXPECT_EQ( names[group].front().rfind( "horizon_", 0 ), 0 );
        }
        EXPECT_EQ( names.back(),
            fixture.names_of( { fixture.sample.faults.front().items } )
                .front() );
        EXPECT_EQ( internal::nb_non_empty_horizons( fixture.sample.model ), 2 );
        const auto& fault_surface = fixture.sample.faults.front().items.front();
        EXPECT_TRUE(
            internal::is_fault_surface( fixture.sample.model, fault_surface ) );
        EXPECT_EQ(
            internal::fault_of_surface( fixture.sample.model, fault_surface ),
            fixture.sample.faults.front().id );
        EXPECT_FALSE( internal::fault_of_surface(
            fixture.sample.model, fixture.sample.top_surfaces.front() ) );
    }
} // namespace brevane

#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // A column meeting the groups one below the other, 1 apart.
        std::vector< internal::ColumnGroup > column_of(
            const std::vector< SurfaceGroup >& groups,
            const std::vector< SurfaceGroup >& sequence )
        {
            std::vector< internal::ColumnGroup > column;
            double z{ 0 };
            for( const auto& group : sequence )
            {
                const auto found =
                    std::find( groups.begin(), groups.end(), group );
                column.push_back( { static_cast< index_t >(
                                        std::distance( groups.begin(), found ) ),
                    z-- } );
            }
            return column;
        }

        void add_column( internal::SurfaceGroupsOrderSearch& search,
            const std::vector< SurfaceGroup >& groups,
            const std::vector< SurfaceGroup >& sequence )
        {
            search.add_column( column_of( groups, sequence ), Point2D{} );
        }

        // Sequences of the groups of the one-fault model, by name.
        class SurfaceGroupsOrderSearchTest : public testing::Test
        {
        protected:
            const SurfaceGroup& group( std::string_view name ) const
            {
                for( const auto& group : fixture.groups )
                {
                    if( fixture.sample.model.surface( group.front() ).name()
                        == name )
                    {
                        return group;
                    }
                }
                throw std::runtime_error{ "no group" };
            }
            const SurfaceGroup& fault() const
            {
                return fixture.groups.back();
            }
            internal::SurfaceGroupsOrderSearch search() const
            {
                return { fixture.sample.model, fixture.groups };
            }

            test::PillarStageFixture fixture{ one_fault_model() };
        };
    } // namespace

    TEST_F( SurfaceGroupsOrderSearchTest, LinksKnownStacksAcrossAFault )
    {
        auto search = this->search();
        const auto& upper_1 = group( "horizon_1_block_1" );
        const auto& upper_2 = group( "horizon_2_block_1" );
        const auto& lower_1 = group( "horizon_1_block_0" );
        const auto& lower_2 = group( "horizon_2_block_0" );
        add_column( search, fixture.groups, { upper_1, upper_2 } );
        add_column( search, fixture.groups, { lower_1, lower_2 } );
        EXPECT_FALSE( search.is_complete() );
        add_column( search, fixture.groups, { upper_2, fault(), lower_1 } );
        EXPECT_TRUE( search.is_complete() );
        EXPECT_EQ( search.order(), ( std::vector< SurfaceGroup >{ upper_1,
                                       upper_2, fault(), lower_1, lower_2 } ) );
    }

    // The first column crossing the fault relates only what it meets: the
    // lower horizon of the upper block is not known to lie above the fault
    // until a column shows it.
    TEST_F(
        SurfaceGroupsOrderSearchTest, FirstColumnAcrossAFaultStartsTwoStacks )
    {
        auto search = this->search();
        const auto& upper_1 = group( "horizon_1_block_1" );
        const auto& upper_2 = group( "horizon_2_block_1" );
        const auto& lower_1 = group( "horizon_1_block_0" );
        const auto& lower_2 = group( "horizon_2_block_0" );
        add_column( search, fixture.groups, { upper_1, fault(), lower_1, lower_2 } );
        EXPECT_FALSE( search.is_complete() );
        add_column( search, fixture.groups, { upper_2 } );
        EXPECT_FALSE( search.is_complete() );
        add_column( search, fixture.groups, { upper_1, upper_2 } );
        EXPECT_FALSE( search.is_complete() );
        add_column( search, fixture.groups, { upper_2, fault() } );
        EXPECT_TRUE( search.is_complete() );
        EXPECT_EQ( search.order(), ( std::vector< SurfaceGroup >{ upper_1,
                                       upper_2, fault(), lower_1, lower_2 } ) );
    }

    TEST_F( SurfaceGroupsOrderSearchTest,
        RepeatedOrUninformativeColumnsAreNotRecorded )
    {
        auto search = this->search();
        const auto& upper_1 = group( "horizon_1_block_1" );
        const auto& upper_2 = group( "horizon_2_block_1" );
        add_column( search, fixture.groups, {} );
        add_column( search, fixture.groups, { fault() } );
        EXPECT_EQ( search.nb_recorded_columns(), 0 );
        add_column( search, fixture.groups, { upper_1, upper_2 } );
        add_column( search, fixture.groups, { upper_1, upper_2 } );
        EXPECT_EQ( search.nb_recorded_columns(), 1 );
        EXPECT_FALSE( search.is_complete() );
    }

    // Two parts of one block seen apart first, then together: one stack.
    TEST_F( SurfaceGroupsOrderSearchTest, MergesTwoStacksOfOneBlock )
    {
        auto search = this->search();
        const auto& upper_1 = group( "horizon_1_block_1" );
        const auto& upper_2 = group( "horizon_2_block_1" );
        const auto& lower_1 = group( "horizon_1_block_0" );
        const auto& lower_2 = group( "horizon_2_block_0" );
        add_column( search, fixture.groups, { upper_1 } );
        add_column( search, fixture.groups, { upper_2, fault(), lower_1 } );
        add_column( search, fixture.groups, { lower_2 } );
        add_column( search, fixture.groups, { upper_1, upper_2 } );
        add_column( search, fixture.groups, { lower_1, lower_2 } );
        EXPECT_TRUE( search.is_complete() );
        EXPECT_EQ( search.order(), ( std::vector< SurfaceGroup >{ upper_1,
                                       upper_2, fault(), lower_1, lower_2 } ) );
    }

    // A fault with two blocks on one side (a relay): columns relate each
    // block to the fault but not the blocks to each other. Once the columns
    // run out, the fault comes after every group above it, from both
    // blocks, and before the group below it.
    TEST_F( SurfaceGroupsOrderSearchTest, RelayFaultGoesBelowBothBlocks )
    {
        auto search = this->search();
        const auto& upper_1 = group( "horizon_1_block_1" );
        const auto& upper_2 = group( "horizon_2_block_1" );
        const auto& lower_1 = group( "horizon_1_block_0" );
        const auto& lower_2 = group( "horizon_2_block_0" );
        add_column(
            search, fixture.groups, { upper_1, upper_2, fault(), lower_2 } );
        add_column( search, fixture.groups, { lower_1, fault(), lower_2 } );
        EXPECT_FALSE( search.is_complete() );
        const auto order = search.order_without_more_columns();
        ASSERT_EQ( order.size(), 5 );
        const auto position = [&order]( const SurfaceGroup& group )
        {
            return std::find( order.begin(), order.end(), group ) - order.begin();
        };
        for( const auto* above : { &upper_1, &upper_2, &lower_1 } )
        {
            EXPECT_LT( position( *above ), position( fault() ) );
        }
        EXPECT_LT( position( upper_1 ), position( upper_2 ) );
        EXPECT_EQ( order.back(), lower_2 );
    }

    // Two surfaces of one horizon bounding one block are one group; a model
    // boundary makes none.
    TEST( SurfaceGroups, SeveralSurfacesOfOneHorizonBoundingOneBlock )
    {
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        StructuralModelBuilder builder{ model };
        const auto& split_horizon = model.horizon( builder.add_horizon() );
        const auto& other_horizon = model.horizon( builder.add_horizon() );
        const auto& boundary =
            model.model_boundary( builder.add_model_boundary() );
        const auto& surfaces = tetrahedron.surfaces;
        builder.add_surface_in_horizon(
            model.surface( surfaces[2] ), other_horizon );
        builder.add_surface_in_horizon(
            model.surface( surfaces[0] ), split_horizon );
        builder.add_surface_in_horizon(
            model.surface( surfaces[1] ), split_horizon );
        builder.add_surface_in_model_boundary(
            model.surface( surfaces[3] ), boundary );
        EXPECT_EQ( internal::compute_surface_groups( model ),
            ( std::vector< SurfaceGroup >{
                { surfaces[0], surfaces[1] }, { surfaces[2] } } ) );
    }

    TEST( SurfaceGroups, UntaggedBlockBoundaryIsNamed )
    {
        test::Tetrahedron tetrahedron;
        try
        {
            static_cast< void >(
                internal::compute_surface_groups( tetrahedron.model ) );
            FAIL() << "an untagged surface cannot be grouped";
        }
        catch( const TessarkException& error )
        {
            EXPECT_NE( std::string{ error.what() }.find(
                           tetrahedron.surfaces[0].string() ),
                std::string::npos );
        }
    }
} // namespace brevane

namespace brevane
{
    // A horizon missing from the first column (pinched out there) takes its
    // place between the groups around it when a later column shows it.
    TEST( SurfaceGroupsOrderSearch, GroupBetweenTwoKnownGroupsGoesBetweenThem )
    {
        const test::PillarStageFixture fixture{ build_sample_model(
            small_sample_parameters( 3, 0 ) ) };
        const auto& groups = fixture.groups;
        ASSERT_EQ( fixture.names_of( groups ),
            ( std::vector< std::vector< std::string > >{
                { "horizon_1_block_0" }, { "horizon_2_block_0" },
                { "horizon_3_block_0" } } ) );
        internal::SurfaceGroupsOrderSearch search{ fixture.sample.model,
            groups };
        add_column( search, groups, { groups[0], groups[2] } );
        EXPECT_FALSE( search.is_complete() );
        add_column( search, groups, { groups[0], groups[1], groups[2] } );
        EXPECT_TRUE( search.is_complete() );
        EXPECT_EQ( search.order(), groups );
    }

    namespace
    {
        struct PartialColumnsCase
        {
            std::string name;
            std::vector< std::vector< index_t > > columns;
        };

        void PrintTo( const PartialColumnsCase& order_case, std::ostream* out )
        {
            *out << order_case.name;
        }

        class PartialColumns : public testing::TestWithParam< PartialColumnsCase >
        {
        };
    } // namespace

    // Columns that never put horizons 1 and 2 one above the other leave their
    // order open, whichever comes first: the search does not complete, and
    // once the columns run out it names the two horizons.
    TEST_P( PartialColumns, LeaveTheOrderOpenAndNameWhatIsMissing )
    {
        const test::PillarStageFixture fixture{ build_sample_model(
            small_sample_parameters( 3, 0 ) ) };
        const auto& groups = fixture.groups;
        internal::SurfaceGroupsOrderSearch search{ fixture.sample.model,
            groups };
        for( const auto& column : GetParam().columns )
        {
            std::vector< SurfaceGroup > sequence;
            for( const auto group : column )
            {
                sequence.push_back( groups[group] );
            }
            add_column( search, groups, sequence );
        }
        EXPECT_FALSE( search.is_complete() );
        EXPECT_THAT(
            [&search]
            {
                static_cast< void >( search.order_without_more_columns() );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( "\"horizon_1_block_0\"" ),
                testing::HasSubstr( "\"horizon_2_block_0\"" ),
                testing::HasSubstr( "never met one above the other" ) ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( SurfaceGroupsOrderSearch, PartialColumns,
        testing::Values(
            PartialColumnsCase{ "first_then_second", { { 0, 2 }, { 1, 2 } } },
            PartialColumnsCase{ "second_then_first", { { 1, 2 }, { 0, 2 } } },
            PartialColumnsCase{ "pinched_out_apart", { { 0, 2 }, { 1, 2 }, { 0 } } } ),
        []( const testing::TestParamInfo< PartialColumnsCase >& info )
        {
            return info.param.name;
        } );

    // Groups met at one height tell nothing of their order; a column that
    // puts one above the other completes it.
    TEST( SurfaceGroupsOrderSearch, GroupsAtOneHeightRelateToNothing )
    {
        const test::PillarStageFixture fixture{ build_sample_model(
            small_sample_parameters( 2, 0 ) ) };
        const auto& groups = fixture.groups;
        internal::SurfaceGroupsOrderSearch search{ fixture.sample.model,
            groups };
        const std::vector< internal::ColumnGroup > tied{ { 1, 5 },
            { 0, 5 + 1e-7 } };
        search.add_column( tied, Point2D{} );
        EXPECT_FALSE( search.is_complete() );
        add_column( search, groups, { groups[0], groups[1] } );
        EXPECT_TRUE( search.is_complete() );
        EXPECT_EQ( search.order(), groups );
    }

    // Columns showing each of two horizons above the other: the surfaces
    // cross, and the error names both with a column for each relation.
    TEST( SurfaceGroupsOrderSearch, CycleNamesTheGroupsAndTheColumns )
    {
        const test::PillarStageFixture fixture{ build_sample_model(
            small_sample_parameters( 2, 0 ) ) };
        const auto& groups = fixture.groups;
        internal::SurfaceGroupsOrderSearch search{ fixture.sample.model,
            groups };
        search.add_column( column_of( groups, { groups[0], groups[1] } ),
            Point2D{ { 10, 20 } } );
        EXPECT_THAT(
            [&]
            {
                search.add_column(
                    column_of( groups, { groups[1], groups[0] } ),
                    Point2D{ { 30, 40 } } );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( "\"horizon_1_block_0\"" ),
                testing::HasSubstr( "\"horizon_2_block_0\"" ),
                testing::HasSubstr( "(column at (10, 20))" ),
                testing::HasSubstr( "(column at (30, 40))" ) ) ) );
    }
} // namespace brevane

namespace brevane
{
    namespace
    {
        // Two faults dipping towards each other (a graben: the middle block
        // lies above both) or away from each other (a horst: below both).
        struct FaultPairCase
        {
            std::string name;
            bool first_dips_towards_x_max;
            bool second_dips_towards_x_max;
            // The block above and the block below each fault.
            std::array< std::array< index_t, 2 >, 2 > blocks;
            // The whole order, by the first surface of each group: the two
            // blocks no column relates follow the fixed rule.
            std::vector< std::string > order;
        };

        class FaultPairs : public testing::TestWithParam< FaultPairCase >
        {
        };

        std::size_t position_of(
            const std::vector< std::vector< std::string > >& names,
            const std::string& first_name )
        {
            for( std::size_t group = 0; group < names.size(); group++ )
            {
                if( names[group].front() == first_name )
                {
                    return group;
                }
            }
            return names.size();
        }
    } // namespace

    // Each fault comes after every group of the block above it and before
    // every group of the block below it, whatever the sampling order.
    TEST_P( FaultPairs, EachFaultBetweenItsBlocks )
    {
        const auto& fault_case = GetParam();
        auto parameters = small_sample_parameters( 2, 2 );
        parameters.faults[0].dips_towards_x_max =
            fault_case.first_dips_towards_x_max;
        parameters.faults[1].dips_towards_x_max =
            fault_case.second_dips_towards_x_max;
        const test::PillarStageFixture fixture{ build_sample_model( parameters ) };
        const auto names = fixture.names_of( fixture.order );
        ASSERT_EQ( names.size(), 2 * 3 + 2 );
        std::vector< std::string > first_names;
        for( const auto& group : names )
        {
            first_names.push_back( group.front() );
        }
        EXPECT_EQ( first_names, fault_case.order );
        for( index_t fault = 0; fault < 2; fault++ )
        {
            const auto fault_position = position_of( names,
                fixture.names_of( { fixture.sample.faults[fault].items } )
                    .front()
                    .front() );
            ASSERT_LT( fault_position, names.size() );
            for( index_t horizon = 1; horizon <= 2; horizon++ )
            {
                EXPECT_LT( position_of( names,
                               absl::StrCat( "horizon_", horizon, "_block_",
                                   fault_case.blocks[fault][0] ) ),
                    fault_position );
                EXPECT_GT( position_of( names,
                               absl::StrCat( "horizon_", horizon, "_block_",
                                   fault_case.blocks[fault][1] ) ),
                    fault_position );
            }
        }
        std::vector< index_t > triangles( fixture.plan.surface->nb_polygons() );
        std::iota( triangles.begin(), triangles.end(), 0 );
        for( const auto seed : { 1u, 2u, 3u } )
        {
            std::shuffle( triangles.begin(), triangles.end(), std::mt19937{ seed } );
            EXPECT_EQ( internal::search_surface_groups_order( fixture.sampling(),
                           fixture.groups, fixture.bottom_z,
                           absl::MakeConstSpan( triangles ) )
                           .order,
                fixture.order );
        }
    }

    INSTANTIATE_TEST_SUITE_P( Factory,
        FaultPairs,
        testing::Values(
            FaultPairCase{ "graben", true, false, { { { 1, 0 }, { 1, 2 } } },
                { "horizon_1_block_1", "horizon_2_block_1", "fault_1_piece_0",
                    "horizon_1_block_0", "horizon_2_block_0", "fault_2_piece_0",
                    "horizon_1_block_2", "horizon_2_block_2" } },
            FaultPairCase{ "horst", false, true, { { { 0, 1 }, { 2, 1 } } },
                { "horizon_1_block_0", "horizon_2_block_0", "fault_1_piece_0",
                    "horizon_1_block_2", "horizon_2_block_2", "fault_2_piece_0",
                    "horizon_1_block_1", "horizon_2_block_1" } } ),
        []( const testing::TestParamInfo< FaultPairCase >& info ) {
            return info.param.name;
        } );
} // namespace brevane
