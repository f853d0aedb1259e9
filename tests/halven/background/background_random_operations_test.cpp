#include <random>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "background_checks.h"
#include "background_fixture.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    namespace
    {
        // Random live polygon, trying again on deleted ones.
        index_t random_polygon( const test::BackgroundFixture& fixture, std::mt19937& random )
        {
            std::uniform_int_distribution< index_t > pick{ 0,
                fixture.mesh().nb_polygons() - 1 };
            while( true )
            {
                const auto polygon = pick( random );
                if( !fixture.modifier->is_polygon_deleted( polygon ) )
                {
                    return polygon;
                }
            }
        }
    } // namespace

    // Random splits, flips, collapses and moves, each tried only when the
    // modifier says it is valid, with cleans in between: the surface stays
    // valid, covers the same area, and heights of split vertices are
    // interpolated.
    TEST( BackgroundRandomOperations, keep_the_surface_valid )
    {
        constexpr index_t size = 6;
        auto surface = brevane::test::grid_surface< 2 >( size, size );
        std::mt19937 random{ 17 };
        std::uniform_real_distribution< double > unit{ 0, 1 };
        {
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            for( index_t j = 1; j < size; j++ )
            {
                for( index_t i = 1; i < size; i++ )
                {
                    builder->set_point( j * ( size + 1 ) + i,
                        Point2D{ { i + 0.5 * unit( random ) - 0.25,
                            j + 0.5 * unit( random ) - 0.25 } } );
                }
            }
        }
        test::BackgroundFixture fixture{ std::move( surface ) };
        auto& modifier = *fixture.modifier;
        const auto& mesh = fixture.mesh();
        const auto area = test::live_area( *fixture.background, &modifier );
        index_t nb_done{ 0 };
        for( index_t operation = 0; operation < 2000; operation++ )
        {
            const auto polygon = random_polygon( fixture, random );
            const PolygonEdge edge{ polygon,
                static_cast< local_index_t >( operation % 3 ) };
            const auto vertices = mesh.polygon_edge_vertices( edge );
            switch( operation % 4 )
            {
            case 0:
            {
                const auto t = 0.1 + 0.8 * unit( random );
                const auto point = mesh.point( vertices[0] ) * ( 1 - t )
                                   + mesh.point( vertices[1] ) * t;
                if( modifier.is_split_edge_valid( edge, point ) )
                {
                    const auto vertex = modifier.split_edge( edge, point ).vertex;
                    EXPECT_NEAR( fixture.height( vertex ),
                        ( 1 - t ) * fixture.height( vertices[0] )
                            + t * fixture.height( vertices[1] ),
                        1e-9 );
                    nb_done++;
                }
                break;
            }
            case 1:
                if( modifier.is_flip_edge_valid( edge ) )
                {
                    modifier.flip_edge( edge );
                    nb_done++;
                }
                break;
            case 2:
                if( modifier.is_collapse_edge_valid( edge ) )
                {
                    EXPECT_EQ( modifier.collapse_edge( edge ), vertices[1] );
                    EXPECT_TRUE( modifier.is_vertex_deleted( vertices[0] ) );
                    nb_done++;
                }
                break;
            default:
            {
                const auto target = mesh.polygon_barycenter( polygon );
                const auto point = mesh.point( vertices[0] ) * 0.5 + target * 0.5;
                if( modifier.is_move_vertex_valid( vertices[0], point ) )
                {
                    modifier.move_vertex( vertices[0], point );
                    nb_done++;
                }
                break;
            }
            }
            if( operation % 250 == 249 )
            {
                ASSERT_THAT( test::background_problems( *fixture.background, &modifier ),
                    testing::IsEmpty() )
                    << "after operation " << operation;
                EXPECT_NEAR( test::live_area( *fixture.background, &modifier ), area, 1e-9 );
                modifier.clean();
                ASSERT_THAT( test::background_problems( *fixture.background, &modifier ),
                    testing::IsEmpty() )
                    << "after the clean following operation " << operation;
            }
        }
        EXPECT_GT( nb_done, 500 );
        // Every surviving original vertex is found where it is.
        for( index_t original = 0; original < ( size + 1 ) * ( size + 1 ); original++ )
        {
            const auto current = modifier.updated_vertex( original );
            ASSERT_TRUE( current.has_value() );
            EXPECT_LT( *current, mesh.nb_vertices() );
        }
    }
} // namespace brevane::internal
