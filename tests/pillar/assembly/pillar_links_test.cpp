#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <samples/small_sample_models.h>

#include "assembly/pillar_links.h"
#include "assembly/unique_vertices.h"
#include "pillar/assembly/strip_model.h"
#include "pillar/support/assembly_fixture.h"

namespace brevane
{
    namespace
    {
        using Links = std::vector< std::pair< index_t, index_t > >;

        Links sorted( const absl::flat_hash_map< index_t, index_t >& map )
        {
            Links links{ map.begin(), map.end() };
            std::sort( links.begin(), links.end() );
            return links;
        }

        void expect_inverse( const internal::PillarLinks& links )
        {
            EXPECT_EQ( links.unique_vertex_below.size(),
                links.unique_vertex_above.size() );
            for( const auto& [upper, lower] : links.unique_vertex_below )
            {
                const auto above = links.unique_vertex_above.find( lower );
                ASSERT_NE( above, links.unique_vertex_above.end() ) << lower;
                EXPECT_EQ( above->second, upper );
            }
        }

        // The heights of the top, horizon and bottom nodes of each of the
        // four pillars of a strip of one square.
        using PillarHeights = std::array< std::array< double, 3 >, 4 >;

        void make_nodes( test::StripModel& strip, const PillarHeights& heights )
        {
            for( index_t vertex = 0; vertex < heights.size(); vertex++ )
            {
                const auto& [top, horizon, bottom] = heights[vertex];
                strip.set_pillar(
                    vertex, { { strip.top, top }, { strip.horizon, horizon },
                                { strip.bottom, bottom } } );
            }
            strip.make_surface_vertices();
        }

        struct LinkCase
        {
            // Failure messages name the case.
            friend void PrintTo( const LinkCase& test_case, std::ostream* out )
            {
                *out << test_case.name;
            }

            std::string name;
            PillarHeights heights;
            // Unique vertex below each linked one, in index order.
            Links expected;
        };

        class PillarLinksCases : public testing::TestWithParam< LinkCase >
        {
        };

        // The unique vertices are numbered by create_unique_vertices: the top
        // nodes 0 to 3, then the further nodes pillar by pillar.
        TEST_P( PillarLinksCases, link_consecutive_distinct_nodes )
        {
            const auto& test_case = GetParam();
            test::StripModel strip{ 1 };
            make_nodes( strip, test_case.heights );
            internal::create_unique_vertices(
                strip.context(), strip.surface_vertices );

            const auto links = internal::link_pillar_vertices(
                strip.context(), strip.surface_vertices );

            EXPECT_EQ(
                sorted( links.unique_vertex_below ), test_case.expected );
            expect_inverse( links );
        }

        INSTANTIATE_TEST_SUITE_P( Pillars, PillarLinksCases,
            testing::Values(
                LinkCase{ "distinct_nodes",
                    { { { 10, 5, 0 }, { 10, 5, 0 }, { 10, 5, 0 },
                        { 10, 5, 0 } } },
                    { { 0, 4 }, { 1, 6 }, { 2, 8 }, { 3, 10 }, { 4, 5 },
                        { 6, 7 }, { 8, 9 }, { 10, 11 } } },
                // No pair for the step where the horizon meets the top.
                LinkCase{ "pinch_out",
                    { { { 10, 5, 0 }, { 10, 10, 0 }, { 10, 5, 0 },
                        { 10, 5, 0 } } },
                    { { 0, 4 }, { 1, 6 }, { 2, 7 }, { 3, 9 }, { 4, 5 },
                        { 7, 8 }, { 9, 10 } } },
                LinkCase{ "every_pillar_at_one_point",
                    { { { 3, 3, 3 }, { 4, 4, 4 }, { 5, 5, 5 }, { 6, 6, 6 } } },
                    {} } ),
            []( const testing::TestParamInfo< LinkCase >& info )
            {
                return info.param.name;
            } );

        // A node linked again replaces its earlier link on both sides. Two
        // pillars whose horizon records name one vertex reach the same unique
        // vertex from two different top nodes.
        TEST( PillarLinks, keep_one_link_per_node )
        {
            test::StripModel strip{ 1 };
            make_nodes( strip, { { { 10, 5, 0 }, { 10, 5, 0 }, { 10, 5, 0 },
                                   { 10, 5, 0 } } } );
            internal::create_unique_vertices(
                strip.context(), strip.surface_vertices );
            strip.surface_vertices[1][1] = strip.surface_vertices[0][1];

            const auto links = internal::link_pillar_vertices(
                strip.context(), strip.surface_vertices );

            // Pillar 1 links its top 1 to the horizon node 4 of pillar 0,
            // which drops 0 -> 4; then 4 -> 7 replaces 4 -> 5.
            EXPECT_EQ( sorted( links.unique_vertex_below ),
                ( Links{ { 1, 4 }, { 2, 8 }, { 3, 10 }, { 4, 7 }, { 8, 9 },
                    { 10, 11 } } ) );
            expect_inverse( links );
        }

        // On a sample model whose meshes were emptied, nothing binds the
        // old unique vertices any more once lines and corners are gone.
        TEST(
            PillarLinks, removing_lines_and_corners_leaves_no_isolated_vertex )
        {
            test::AssemblyFixture fixture{ build_sample_model(
                small_sample_parameters( 1, 1 ) ) };
            auto& model = fixture.stage.sample.model;
            ASSERT_GT( model.nb_lines(), 0 );
            ASSERT_GT( model.nb_corners(), 0 );

            internal::remove_lines_and_corners( model, *fixture.builder );

            EXPECT_EQ( model.nb_lines(), 0 );
            EXPECT_EQ( model.nb_corners(), 0 );
            EXPECT_EQ( model.nb_unique_vertices(), 0 );
        }

        // The unique vertices created for the top nodes beyond those the
        // model had go with the removal; the bound ones are renumbered in
        // order.
        TEST( PillarLinks, removing_lines_and_corners_renumbers_bound_vertices )
        {
            test::StripModel strip{ 1 };
            make_nodes( strip, { { { 10, 5, 0 }, { 10, 5, 0 }, { 10, 5, 0 },
                                   { 10, 5, 0 } } } );
            strip.builder.create_unique_vertices( 2 );
            internal::create_unique_vertices(
                strip.context(), strip.surface_vertices );
            ASSERT_EQ( strip.model.nb_unique_vertices(), 14 );

            internal::remove_lines_and_corners( strip.model, strip.builder );

            ASSERT_EQ( strip.model.nb_unique_vertices(), 12 );
            for( index_t unique_vertex = 0; unique_vertex < 12;
                 unique_vertex++ )
            {
                EXPECT_FALSE(
                    strip.model.component_mesh_vertices( unique_vertex )
                        .empty() );
            }
            EXPECT_EQ(
                strip.model.unique_vertex( internal::pillar_surface_vertex(
                    strip.surface_vertices, 0, strip.horizon ) ),
                4 );
        }
    } // namespace
} // namespace brevane
