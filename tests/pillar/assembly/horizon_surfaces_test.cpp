#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <absl/container/flat_hash_set.h>
#include <absl/strings/str_cat.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "assembly/horizon_surfaces.h"
#include "assembly/plan_view_triangles_by_surface.h"
#include "pillar/support/assembly_fixture.h"
#include "pillars/surface_groups.h"

namespace brevane
{
    namespace
    {
        bool is_listed( absl::Span< const uuid > ids, const uuid& id )
        {
            return std::find( ids.begin(), ids.end(), id ) != ids.end();
        }

        // The surfaces rebuilt for each level, from the top down: the top
        // list, each group (every item of the fault for a fault group), the
        // bottom list.
        std::vector< std::vector< uuid > > rebuilt_surfaces(
            const internal::AssemblyContext& context )
        {
            std::vector< std::vector< uuid > > levels;
            levels.emplace_back(
                context.top_surfaces.begin(), context.top_surfaces.end() );
            for( const auto& group : context.surface_groups_order )
            {
                const auto fault =
                    internal::fault_of_surface( context.model, group.front() );
                if( !fault )
                {
                    levels.push_back( group );
                    continue;
                }
                auto& items = levels.emplace_back();
                for( const auto& item :
                    context.model.fault_items( context.model.fault( *fault ) ) )
                {
                    items.push_back( item.id() );
                }
            }
            levels.emplace_back( context.bottom_surfaces.begin(),
                context.bottom_surfaces.end() );
            return levels;
        }

        // The first point of the level on the pillar, found by a plain scan.
        Point3D expected_point(
            const Pillar& pillar, absl::Span< const uuid > level )
        {
            for( const auto& intersection : pillar.intersections )
            {
                if( is_listed( level, intersection.surface ) )
                {
                    return intersection.point;
                }
            }
            throw std::runtime_error{ "no point of the level on the pillar" };
        }

        // The surface's mesh against a brute-force reading of the plan view:
        // its triangles are the plan-view triangles listing it, in index
        // order and vertex order (the last two corners swapped for a surface
        // facing down); each plan-view vertex gives one mesh
        // vertex, at the level's point on its pillar, recorded as standing
        // on that pillar.
        void check_rebuilt_surface( const internal::AssemblyContext& context,
            const internal::TopVertexSurfaceVertices& on_pillars,
            const uuid& surface, absl::Span< const uuid > level )
        {
            SCOPED_TRACE(
                std::string{ context.model.surface( surface ).name() } );
            const auto& plan_view = context.background_surface.surface();
            const auto& mesh = context.model.surface( surface ).mesh();
            absl::flat_hash_set< index_t > top_vertices;
            index_t polygon{ 0 };
            for( index_t triangle = 0; triangle < plan_view.nb_polygons();
                 triangle++ )
            {
                if( !is_listed(
                        context.surface_ids.value( triangle ), surface ) )
                {
                    continue;
                }
                ASSERT_LT( polygon, mesh.nb_polygons() );
                const auto mesh_vertices = mesh.polygon_vertices( polygon++ );
                auto plan_vertices = plan_view.polygon_vertices( triangle );
                if( context.surfaces_facing_down.contains( surface ) )
                {
                    std::swap( plan_vertices[1], plan_vertices[2] );
                }
                ASSERT_EQ( mesh_vertices.size(), 3 );
                for( index_t corner = 0; corner < 3; corner++ )
                {
                    const auto top_vertex = plan_vertices[corner];
                    top_vertices.insert( top_vertex );
                    EXPECT_EQ( internal::surface_vertex_on_pillar(
                                   on_pillars, top_vertex, surface ),
                        mesh_vertices[corner] );
                    EXPECT_EQ( mesh.point( mesh_vertices[corner] ),
                        expected_point( context.pillars[top_vertex], level ) );
                }
            }
            EXPECT_EQ( mesh.nb_polygons(), polygon );
            EXPECT_EQ( mesh.nb_vertices(), top_vertices.size() );
        }

        // The number of records of the surface over all pillars.
        index_t nb_records(
            const internal::TopVertexSurfaceVertices& on_pillars,
            const uuid& surface )
        {
            index_t count{ 0 };
            for( const auto& [top_vertex, vertices] : on_pillars )
            {
                count += std::count_if( vertices.begin(), vertices.end(),
                    [&surface]( const auto& pair )
                    {
                        return pair.first == surface;
                    } );
            }
            return count;
        }

        // Every level's surfaces rebuilt and in the level's collection.
        void check_levels( const internal::AssemblyContext& context,
            absl::Span< const uuid > collections,
            const internal::TopVertexSurfaceVertices& on_pillars )
        {
            const auto levels = rebuilt_surfaces( context );
            ASSERT_EQ( levels.size(), collections.size() );
            for( index_t level = 0; level < levels.size(); level++ )
            {
                // The points of a level come from its own surfaces: the
                // group's, not the fault's other items.
                const absl::Span< const uuid > level_surfaces =
                    level == 0 ? context.top_surfaces
                    : level + 1 == levels.size()
                        ? context.bottom_surfaces
                        : absl::Span< const uuid >{
                              context.surface_groups_order[level - 1]
                          };
                for( const auto& surface : levels[level] )
                {
                    EXPECT_TRUE(
                        context.model.is_item( surface, collections[level] ) );
                    check_rebuilt_surface(
                        context, on_pillars, surface, level_surfaces );
                    EXPECT_EQ( nb_records( on_pillars, surface ),
                        context.model.surface( surface ).mesh().nb_vertices() );
                }
            }
        }

        using SampleCase = test::SampleSize;

        class HorizonSurfacesOnSamples
            : public testing::TestWithParam< SampleCase >
        {
        };

        TEST_P( HorizonSurfacesOnSamples, RebuildsEveryLevelFromThePillars )
        {
            test::AssemblyFixture fixture{ build_sample_model(
                small_sample_parameters(
                    GetParam().nb_horizons, GetParam().nb_faults ) ) };
            const auto context = fixture.context();
            internal::TopVertexSurfaceVertices on_pillars;

            const auto collections =
                internal::build_horizon_surfaces( context, on_pillars );

            ASSERT_EQ(
                collections.size(), context.surface_groups_order.size() + 2 );
            check_levels( context, collections, on_pillars );
            // Every plan-view triangle lies under one top and over one
            // bottom surface.
            const auto nb_triangles =
                context.background_surface.surface().nb_polygons();
            for( const auto& surfaces :
                { context.top_surfaces, context.bottom_surfaces } )
            {
                index_t nb_polygons{ 0 };
                for( const auto& surface : surfaces )
                {
                    nb_polygons +=
                        context.model.surface( surface ).mesh().nb_polygons();
                }
                EXPECT_EQ( nb_polygons, nb_triangles );
            }
        }

        std::string sample_name(
            const testing::TestParamInfo< SampleCase >& info )
        {
            return absl::StrCat(
                "H", info.param.nb_horizons, "_F", info.param.nb_faults );
        }

        INSTANTIATE_TEST_SUITE_P( FactoryModels, HorizonSurfacesOnSamples,
            testing::Values( SampleCase{ 1, 0 }, SampleCase{ 2, 0 },
                SampleCase{ 3, 0 }, SampleCase{ 1, 1 }, SampleCase{ 2, 1 },
                SampleCase{ 3, 1 }, SampleCase{ 1, 2 }, SampleCase{ 2, 2 },
                SampleCase{ 3, 2 } ),
            sample_name );

        // Levels with no surface, or a surface no triangle lists: each level
        // still gets its collection, and every surface of a level joins it.
        struct LevelCase
        {
            friend void PrintTo(
                const LevelCase& level_case, std::ostream* out )
            {
                *out << level_case.name;
            }

            std::string name;
            bool drop_order;
            bool drop_tops;
            bool drop_bottoms;
            // Removed from every "surface_ids" list before the build.
            std::string unlisted_surface;
            // Listed twice in every list holding it before the build.
            std::string doubled_surface;
        };

        // Makes every "surface_ids" list that names the surface name it
        // `times` times.
        void relist(
            test::AssemblyFixture& fixture, const uuid& surface, index_t times )
        {
            const auto& plan_view = *fixture.stage.plan.surface;
            for( index_t triangle = 0; triangle < plan_view.nb_polygons();
                 triangle++ )
            {
                fixture.surface_ids->modify_value( triangle,
                    [&]( std::vector< uuid >& ids )
                    {
                        if( !is_listed( ids, surface ) )
                        {
                            return;
                        }
                        std::erase( ids, surface );
                        ids.insert( ids.end(), times, surface );
                    } );
            }
        }

        class HorizonSurfacesLevels : public testing::TestWithParam< LevelCase >
        {
        };

        TEST_P( HorizonSurfacesLevels, GivesEveryLevelItsCollection )
        {
            const auto& level_case = GetParam();
            test::AssemblyFixture fixture{ flat_layer_cake() };
            auto context = fixture.context();
            if( level_case.drop_order )
            {
                context.surface_groups_order = {};
            }
            if( level_case.drop_tops )
            {
                context.top_surfaces = {};
            }
            if( level_case.drop_bottoms )
            {
                context.bottom_surfaces = {};
            }
            if( !level_case.unlisted_surface.empty() )
            {
                relist( fixture,
                    fixture.stage.surface_named( level_case.unlisted_surface ),
                    0 );
            }
            if( !level_case.doubled_surface.empty() )
            {
                relist( fixture,
                    fixture.stage.surface_named( level_case.doubled_surface ),
                    2 );
            }
            internal::TopVertexSurfaceVertices on_pillars;

            const auto collections =
                internal::build_horizon_surfaces( context, on_pillars );

            check_levels( context, collections, on_pillars );
            EXPECT_EQ( context.model.nb_items( collections.front() ),
                context.top_surfaces.size() );
            EXPECT_EQ( context.model.nb_items( collections.back() ),
                context.bottom_surfaces.size() );
            if( !level_case.unlisted_surface.empty() )
            {
                const auto& mesh = context.model
                                       .surface( fixture.stage.surface_named(
                                           level_case.unlisted_surface ) )
                                       .mesh();
                EXPECT_EQ( mesh.nb_polygons(), 0 );
                EXPECT_EQ( mesh.nb_vertices(), 0 );
            }
            if( !level_case.doubled_surface.empty() )
            {
                const auto surface =
                    fixture.stage.surface_named( level_case.doubled_surface );
                const auto triangles =
                    internal::triangles_by_surface( context );
                const auto listed =
                    internal::triangles_of_surface( triangles, surface );
                EXPECT_FALSE( listed.empty() );
                EXPECT_TRUE( std::is_sorted( listed.begin(), listed.end() ) );
                EXPECT_EQ( std::adjacent_find( listed.begin(), listed.end() ),
                    listed.end() );
            }
        }

        std::string level_name(
            const testing::TestParamInfo< LevelCase >& info )
        {
            return info.param.name;
        }

        INSTANTIATE_TEST_SUITE_P( EdgeCases, HorizonSurfacesLevels,
            testing::Values(
                LevelCase{ "NoGroups", true, false, false, "", "" },
                LevelCase{ "NoTops", false, true, false, "", "" },
                LevelCase{ "NoBottoms", false, false, true, "", "" },
                LevelCase{ "UnlistedHorizon", false, false, false,
                    "horizon_1_block_0", "" },
                LevelCase{
                    "UnlistedTop", false, false, false, "top_block_0", "" },
                LevelCase{ "DoubledHorizon", false, false, false, "",
                    "horizon_2_block_0" } ),
            level_name );

        // One bad input per case; the rebuild of the surface stops with the
        // error naming it.
        struct RebuildErrorCase
        {
            friend void PrintTo(
                const RebuildErrorCase& error, std::ostream* out )
            {
                *out << error.name;
            }

            std::string name;
            std::string surface;
            // The level's surfaces: none, or the surface alone.
            bool empty_level;
            bool no_pillars;
            bool out_of_range;
            std::string message;
            // The message ends with the key of the surface's mesh.
            bool with_mesh_key;
        };

        class HorizonSurfaceRebuildErrors
            : public testing::TestWithParam< RebuildErrorCase >
        {
        };

        TEST_P( HorizonSurfaceRebuildErrors, StopsWithTheMessageOfTheError )
        {
            const auto& error = GetParam();
            test::AssemblyFixture fixture{ flat_layer_cake() };
            auto context = fixture.context();
            if( error.no_pillars )
            {
                context.pillars = {};
            }
            const auto surface = fixture.stage.surface_named( error.surface );
            const std::vector< uuid > level_surfaces{ surface };
            const internal::SliceLevel level{
                context.builder.add_surface_collection(),
                error.empty_level ? absl::Span< const uuid >{}
                                  : absl::Span< const uuid >{ level_surfaces }
            };
            const auto triangles = internal::triangles_by_surface( context );
            auto expected = error.message;
            if( error.with_mesh_key )
            {
                expected += std::string{
                    context.model.surface( surface ).mesh().impl_name()
                };
            }
            internal::TopVertexSurfaceVertices on_pillars;
            try
            {
                internal::build_surface_from_pillars( context, surface,
                    internal::triangles_of_surface( triangles, surface ), level,
                    on_pillars );
                ADD_FAILURE() << "the rebuild did not fail";
            }
            catch( const TessarkException& exception )
            {
                EXPECT_FALSE( error.out_of_range );
                EXPECT_THAT( exception.what(), testing::HasSubstr( expected ) );
            }
            catch( const std::out_of_range& exception )
            {
                EXPECT_TRUE( error.out_of_range );
                EXPECT_THAT( exception.what(), testing::HasSubstr( expected ) );
            }
        }

        std::string rebuild_error_name(
            const testing::TestParamInfo< RebuildErrorCase >& info )
        {
            return info.param.name;
        }

        INSTANTIATE_TEST_SUITE_P( BadInputs, HorizonSurfaceRebuildErrors,
            testing::Values(
                RebuildErrorCase{ "SideWallIsNotTriangulated",
                    "side_x_min_layer_0", false, false, false,
                    "Cannot create mesh builder with key: ", true },
                RebuildErrorCase{ "PillarMeetsNoSurfaceOfTheLevel",
                    "horizon_1_block_0", true, false, false,
                    "meets no surface of the level of surface "
                    "\"horizon_1_block_0\"",
                    false },
                RebuildErrorCase{ "PlanViewVertexWithoutPillar",
                    "horizon_1_block_0", false, true, true,
                    "Span::at failed bounds check", false } ),
            rebuild_error_name );

        TEST( HorizonSurfaces, LinkTopVertexRecordsEachPairOnceInOrder )
        {
            const uuid first;
            const uuid second;
            internal::TopVertexSurfaceVertices on_pillars;

            internal::link_top_vertex( on_pillars, 3, first, 0 );
            internal::link_top_vertex( on_pillars, 3, second, 5 );
            internal::link_top_vertex( on_pillars, 3, first, 0 );
            internal::link_top_vertex( on_pillars, 3, first, 1 );

            ASSERT_EQ( on_pillars.size(), 1 );
            const internal::SurfaceVerticesOnPillar expected{ { first, 0 },
                { second, 5 }, { first, 1 } };
            EXPECT_EQ( on_pillars.at( 3 ), expected );
        }
    } // namespace
} // namespace brevane

namespace brevane
{
    // A surface listed in two levels (here a horizon also named as a top
    // surface) is rebuilt once and joins the collections of both levels.
    TEST( HorizonSurfaces, SurfaceOfTwoLevelsJoinsBothCollections )
    {
        test::AssemblyFixture fixture{ build_sample_model(
            small_sample_parameters( 2, 0 ) ) };
        auto context = fixture.context();
        const auto horizon = fixture.stage.surface_named( "horizon_1_block_0" );
        const std::vector< uuid > tops{ horizon };
        context.top_surfaces = tops;
        internal::TopVertexSurfaceVertices on_pillars;

        const auto collections =
            internal::build_horizon_surfaces( context, on_pillars );

        ASSERT_GE( collections.size(), 2 );
        EXPECT_TRUE( context.model.is_item( horizon, collections[0] ) );
        EXPECT_TRUE( context.model.is_item( horizon, collections[1] ) );
        EXPECT_GT( context.model.surface( horizon ).mesh().nb_polygons(), 0 );
    }
} // namespace brevane
