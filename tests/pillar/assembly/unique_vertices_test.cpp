#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "assembly/unique_vertices.h"
#include "pillar/assembly/strip_model.h"

namespace brevane
{
    namespace
    {
        constexpr index_t NB_PILLARS{ 4 };

        // The heights of the top, horizon and bottom nodes of each pillar.
        using PillarHeights = std::array< std::array< double, 3 >, NB_PILLARS >;

        const PillarHeights DISTINCT{ { { 10, 5, 0 }, { 10, 5, 0 },
            { 10, 5, 0 }, { 10, 5, 0 } } };

        // The strip of one square with the pillars at these heights and the
        // surface vertices on them.
        struct PillarNodes
        {
            explicit PillarNodes( const PillarHeights& heights ) : strip( 1 )
            {
                for( index_t vertex = 0; vertex < NB_PILLARS; vertex++ )
                {
                    const auto& [top, horizon, bottom] = heights[vertex];
                    strip.set_pillar( vertex,
                        { { strip.top, top }, { strip.horizon, horizon },
                            { strip.bottom, bottom } } );
                }
                strip.make_surface_vertices();
            }

            // The unique vertex of each node of the pillar, top to bottom.
            [[nodiscard]] std::vector< index_t > unique_vertices(
                index_t vertex ) const
            {
                std::vector< index_t > result;
                for( const auto& intersection :
                    strip.pillars[vertex].intersections )
                {
                    result.push_back( strip.model.unique_vertex(
                        internal::pillar_surface_vertex( strip.surface_vertices,
                            vertex, intersection.surface ) ) );
                }
                return result;
            }

            test::StripModel strip;
        };

        struct NumberingCase
        {
            // Failure messages name the case.
            friend void PrintTo(
                const NumberingCase& test_case, std::ostream* out )
            {
                *out << test_case.name;
            }

            std::string name;
            PillarHeights heights;
            std::array< std::vector< index_t >, NB_PILLARS > expected;
            index_t nb_unique_vertices;
        };

        class UniqueVerticesNumbering
            : public testing::TestWithParam< NumberingCase >
        {
        };

        // On a model without unique vertices: the top nodes are 0 to 3, the
        // further nodes follow pillar by pillar, top to bottom.
        TEST_P( UniqueVerticesNumbering, binds_nodes_down_each_pillar )
        {
            const auto& test_case = GetParam();
            PillarNodes nodes{ test_case.heights };
            ASSERT_EQ( nodes.strip.model.nb_unique_vertices(), 0 );

            internal::create_unique_vertices(
                nodes.strip.context(), nodes.strip.surface_vertices );

            for( index_t vertex = 0; vertex < NB_PILLARS; vertex++ )
            {
                EXPECT_EQ( nodes.unique_vertices( vertex ),
                    test_case.expected[vertex] )
                    << "pillar " << vertex;
            }
            EXPECT_EQ( nodes.strip.model.nb_unique_vertices(),
                test_case.nb_unique_vertices );
        }

        INSTANTIATE_TEST_SUITE_P( Pillars, UniqueVerticesNumbering,
            testing::Values( NumberingCase{ "distinct_nodes", DISTINCT,
                                 { { { 0, 4, 5 }, { 1, 6, 7 }, { 2, 8, 9 },
                                     { 3, 10, 11 } } },
                                 12 },
                // The horizon pinches out against the top on pillar 1.
                NumberingCase{ "pinch_out",
                    { { { 10, 5, 0 }, { 10, 10, 0 }, { 10, 5, 0 },
                        { 10, 5, 0 } } },
                    { { { 0, 4, 5 }, { 1, 1, 6 }, { 2, 7, 8 }, { 3, 9, 10 } } },
                    11 },
                NumberingCase{ "all_coincident",
                    { { { 10, 5, 0 }, { 10, 5, 0 }, { 7, 7, 7 },
                        { 10, 5, 0 } } },
                    { { { 0, 4, 5 }, { 1, 6, 7 }, { 2, 2, 2 }, { 3, 8, 9 } } },
                    10 },
                // Points closer than the framework's tolerance coincide.
                NumberingCase{ "within_tolerance",
                    { { { 10, 10 + 1e-7, 0 }, { 10, 5, 0 }, { 10, 5, 0 },
                        { 10, 5, 0 } } },
                    { { { 0, 0, 4 }, { 1, 5, 6 }, { 2, 7, 8 }, { 3, 9, 10 } } },
                    11 },
                // Only consecutive nodes are compared.
                NumberingCase{ "back_to_an_upper_point",
                    { { { 10, 5, 10 }, { 10, 5, 0 }, { 10, 5, 0 },
                        { 10, 5, 0 } } },
                    { { { 0, 4, 5 }, { 1, 6, 7 }, { 2, 8, 9 },
                        { 3, 10, 11 } } },
                    12 } ),
            []( const testing::TestParamInfo< NumberingCase >& info )
            {
                return info.param.name;
            } );

        // Unique vertices already in the model keep their indices for the top
        // nodes; pass 1 still creates one per pillar, and the further nodes
        // come after them.
        TEST( UniqueVertices, reuses_existing_indices_for_the_top_nodes )
        {
            PillarNodes nodes{ DISTINCT };
            nodes.strip.builder.create_unique_vertices( 6 );

            internal::create_unique_vertices(
                nodes.strip.context(), nodes.strip.surface_vertices );

            EXPECT_EQ( nodes.unique_vertices( 0 ),
                ( std::vector< index_t >{ 0, 10, 11 } ) );
            EXPECT_EQ( nodes.unique_vertices( 3 ),
                ( std::vector< index_t >{ 3, 16, 17 } ) );
            EXPECT_EQ( nodes.strip.model.nb_unique_vertices(), 18 );
            EXPECT_TRUE(
                nodes.strip.model.component_mesh_vertices( 4 ).empty() );
        }

        // A broken record stops the stage at the pillar where it is found,
        // with the standard error of the failed look-up; the pillars before
        // keep their bindings.
        enum struct Breakage
        {
            pillar_without_intersections,
            vertex_without_record,
            surface_without_vertex,
            missing_pillar
        };

        struct BreakageCase
        {
            // Failure messages name the case.
            friend void PrintTo(
                const BreakageCase& test_case, std::ostream* out )
            {
                *out << test_case.name;
            }

            std::string name;
            Breakage breakage;
        };

        class UniqueVerticesBrokenRecords
            : public testing::TestWithParam< BreakageCase >
        {
        };

        void break_records( test::StripModel& strip, Breakage breakage )
        {
            switch( breakage )
            {
            case Breakage::pillar_without_intersections:
                strip.pillars[2].intersections.clear();
                return;
            case Breakage::vertex_without_record:
                strip.surface_vertices.erase( 2 );
                return;
            case Breakage::surface_without_vertex:
                strip.surface_vertices[2].pop_back();
                return;
            case Breakage::missing_pillar:
                strip.pillars.pop_back();
                return;
            }
        }

        TEST_P( UniqueVerticesBrokenRecords, throws_the_look_up_error )
        {
            const auto& test_case = GetParam();
            PillarNodes nodes{ DISTINCT };
            break_records( nodes.strip, test_case.breakage );
            const auto context = nodes.strip.context();
            const auto create = [&]
            {
                internal::create_unique_vertices(
                    context, nodes.strip.surface_vertices );
            };

            if( test_case.breakage == Breakage::surface_without_vertex )
            {
                EXPECT_THROW( create(), TessarkException );
            }
            else
            {
                EXPECT_THROW( create(), std::out_of_range );
            }
            EXPECT_EQ(
                nodes.strip.model.unique_vertex(
                    internal::pillar_surface_vertex(
                        nodes.strip.surface_vertices, 0, nodes.strip.top ) ),
                0 );
        }

        INSTANTIATE_TEST_SUITE_P( Pillars, UniqueVerticesBrokenRecords,
            testing::Values( BreakageCase{ "pillar_without_intersections",
                                 Breakage::pillar_without_intersections },
                BreakageCase{
                    "vertex_without_record", Breakage::vertex_without_record },
                BreakageCase{ "surface_without_vertex",
                    Breakage::surface_without_vertex },
                BreakageCase{ "missing_pillar", Breakage::missing_pillar } ),
            []( const testing::TestParamInfo< BreakageCase >& info )
            {
                return info.param.name;
            } );

        TEST( UniqueVertices, names_the_bounds_check_of_the_pillar_list )
        {
            PillarNodes nodes{ DISTINCT };
            nodes.strip.pillars.pop_back();
            try
            {
                internal::create_unique_vertices(
                    nodes.strip.context(), nodes.strip.surface_vertices );
                FAIL() << "no error";
            }
            catch( const std::out_of_range& error )
            {
                EXPECT_STREQ( error.what(), "Span::at failed bounds check" );
            }
        }
    } // namespace
} // namespace brevane
