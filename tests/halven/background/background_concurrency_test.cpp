#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "background_fixture.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    // Const queries of the records and of the modifier's validity tests,
    // run from several threads at once, give the sequential answers.
    TEST( BackgroundConcurrency, const_queries_agree_across_threads )
    {
        test::BackgroundFixture fixture{ brevane::test::grid_surface< 2 >( 20, 20 ) };
        const auto& mesh = fixture.mesh();
        const uuid line;
        for( index_t i = 0; i < 20; i++ )
        {
            fixture.background_builder->add_macro_edge_info( { line, i },
                { *mesh.edges().edge_from_vertices( { 21 * 10 + i, 21 * 10 + i + 1 } ) } );
        }
        const auto answers = [&fixture, &mesh]() {
            std::vector< std::size_t > result;
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                result.push_back( fixture.background->incident_macro_edges( vertex ).size() );
                for( const auto neighbour : mesh.vertices_around_vertex( vertex ) )
                {
                    result.push_back(
                        fixture.modifier->is_collapse_edge_valid( vertex, neighbour ) ? 1 : 0 );
                }
            }
            return result;
        };
        const auto expected = answers();
        std::vector< std::vector< std::size_t > > found( 4 );
        std::vector< std::thread > threads;
        for( auto& result : found )
        {
            threads.emplace_back( [&result, &answers] { result = answers(); } );
        }
        for( auto& thread : threads )
        {
            thread.join();
        }
        for( const auto& result : found )
        {
            EXPECT_EQ( result, expected );
        }
    }
} // namespace brevane::internal
