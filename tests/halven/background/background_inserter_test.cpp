#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>

#include <halven/background/background_surface_inserter.h>

#include "background_checks.h"
#include "background_fixture.h"
#include "chain_checks.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    namespace
    {
        using testing::IsEmpty;
        using testing::UnorderedElementsAre;

        std::unique_ptr< PointSet2D > point_set( const std::vector< Point2D >& points )
        {
            auto set = PointSet2D::create();
            auto builder = PointSetBuilder2D::create( *set );
            for( const auto& point : points )
            {
                builder->create_point( point );
            }
            return set;
        }

        // Disjoint segments: each has its own two vertices, 2e and 2e + 1.
        std::unique_ptr< EdgedCurve2D > segments( const std::vector< Segment2D >& list )
        {
            auto curve = EdgedCurve2D::create();
            auto builder = EdgedCurveBuilder2D::create( *curve );
            for( const auto& segment : list )
            {
                const auto first = builder->create_point( segment.vertices()[0] );
                const auto second = builder->create_point( segment.vertices()[1] );
                builder->create_edge( first, second );
            }
            return curve;
        }

        // The polyline through the points as disjoint segments.
        std::unique_ptr< EdgedCurve2D > polyline( const std::vector< Point2D >& points )
        {
            std::vector< Segment2D > list;
            for( std::size_t point = 1; point < points.size(); point++ )
            {
                list.emplace_back( points[point - 1], points[point] );
            }
            return segments( list );
        }

        Point2D at( double x, double y )
        {
            return Point2D{ { x, y } };
        }

        class Insertion
        {
        public:
            explicit Insertion( std::unique_ptr< TriangulatedSurface2D > surface )
                : fixture( std::move( surface ) ),
                  area( test::live_area( *fixture.background, fixture.modifier.get() ) ),
                  inserter( { *fixture.background, *fixture.modifier },
                      *fixture.background_builder )
            {
            }

            void expect_valid() const
            {
                EXPECT_THAT( test::background_problems(
                                 *fixture.background, fixture.modifier.get() ),
                    IsEmpty() );
                EXPECT_NEAR( test::live_area( *fixture.background, fixture.modifier.get() ),
                    area, 1e-9 * std::max( 1., area ) );
            }

            // Every edge of the curve is a chain of its records, its ends
            // vertices with their records.
            void expect_curve( const EdgedCurve2D& curve, const uuid& id ) const
            {
                for( index_t edge = 0; edge < curve.nb_edges(); edge++ )
                {
                    EXPECT_THAT( test::chain_problems( *fixture.background,
                                     *fixture.modifier, { id, edge },
                                     curve.segment( edge ), 2 * GLOBAL_EPSILON ),
                        IsEmpty() )
                        << "edge " << edge;
                    for( const auto vertex : curve.edge_vertices( edge ) )
                    {
                        const auto landed = test::vertex_at( *fixture.background,
                            *fixture.modifier, curve.point( vertex ) );
                        ASSERT_NE( landed, NO_ID );
                        EXPECT_THAT( fixture.background->macro_vertices( landed ),
                            testing::Contains( MeshVertex{ id, vertex } ) );
                    }
                }
            }

            test::BackgroundFixture fixture;
            double area;
            BackgroundSurfaceInserter inserter;
        };
    } // namespace

    TEST( BackgroundInsertion, points_land_on_vertices_edges_and_triangles )
    {
        Insertion insertion{ brevane::test::grid_surface< 2 >( 4, 4 ) };
        const auto& surface = insertion.fixture.mesh();
        const uuid corners;
        const std::vector< Point2D > points{ at( 1, 1 ), at( 2 + 4e-7, 3 - 3e-7 ),
            at( 1.5, 2 + 5e-7 ), at( 2.5, 2.5 ), at( 3.7, 3.1 ), at( 4 + 5e-7, 0.5 ),
            at( 0, 0 ) };
        const auto input = point_set( points );
        const auto nb_vertices = surface.nb_vertices();

        const auto info = insertion.inserter.insert_point_set( *input, corners );

        ASSERT_EQ( info.vertices.size(), points.size() );
        EXPECT_EQ( info.vertices[0], 6 );
        EXPECT_EQ( info.vertices[1], 17 );
        EXPECT_EQ( info.vertices[6], 0 );
        // On the edge (1, 2) - (2, 2), on the diagonal (2, 2) - (3, 3), inside
        // a triangle, on the border edge x = 4 from just outside.
        EXPECT_EQ( info.created_vertices.size(), 4 );
        EXPECT_EQ( surface.nb_vertices(), nb_vertices + 4 );
        for( index_t vertex = 0; vertex < points.size(); vertex++ )
        {
            const auto landed = info.vertices[vertex];
            EXPECT_TRUE( surface.point( landed ).inexact_equal( points[vertex] ) ) << vertex;
            EXPECT_THAT( insertion.fixture.background->macro_vertices( landed ),
                UnorderedElementsAre( MeshVertex{ corners, vertex } ) );
            EXPECT_NEAR( insertion.fixture.height( landed ),
                test::height_at( surface.point( landed ) ), 1e-12 );
        }
        EXPECT_TRUE( surface.is_vertex_on_border( info.vertices[5] ) );
        EXPECT_EQ( surface.vertices_around_vertex( info.vertices[4] ).size(), 3 );
        insertion.expect_valid();
    }

    TEST( BackgroundInsertion, a_point_outside_is_reported_and_nothing_changes )
    {
        Insertion insertion{ brevane::test::l_shape< 2 >() };
        const auto& surface = insertion.fixture.mesh();
        const auto nb_vertices = surface.nb_vertices();
        const auto nb_polygons = surface.nb_polygons();
        // The first point is inside; the second in the notch of the L.
        const auto input = point_set( { at( 0.5, 0.25 ), at( 3, 3 ) } );
        try
        {
            insertion.inserter.insert_point_set( *input, uuid{} );
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(), testing::HasSubstr( "3 3" ) );
        }
        EXPECT_EQ( surface.nb_vertices(), nb_vertices );
        EXPECT_EQ( surface.nb_polygons(), nb_polygons );
    }

    struct CurveCase
    {
        std::string name;
        std::vector< std::vector< Segment2D > > curves;
        // Number of vertices the insertion may create at most, NO_ID for
        // no bound.
        index_t max_new_vertices;
    };

    // Names the case in test listings, instead of a dump of its bytes.
    inline void PrintTo( const CurveCase& test_case, std::ostream* out )
    {
        *out << test_case.name;
    }

    class CurveInsertion : public testing::TestWithParam< CurveCase >
    {
    };

    TEST_P( CurveInsertion, makes_chains_of_edges )
    {
        Insertion insertion{ brevane::test::grid_surface< 2 >( 4, 4 ) };
        const auto nb_vertices = insertion.fixture.mesh().nb_vertices();
        std::vector< std::pair< std::unique_ptr< EdgedCurve2D >, uuid > > inputs;
        for( const auto& curve : GetParam().curves )
        {
            inputs.emplace_back( segments( curve ), uuid{} );
            insertion.inserter.insert_curve( *inputs.back().first, inputs.back().second );
            insertion.expect_valid();
        }
        for( const auto& [curve, id] : inputs )
        {
            insertion.expect_curve( *curve, id );
        }
        if( GetParam().max_new_vertices != NO_ID )
        {
            EXPECT_LE( insertion.fixture.mesh().nb_vertices() - nb_vertices,
                GetParam().max_new_vertices );
        }
    }

    INSTANTIATE_TEST_SUITE_P( BackgroundInsertion, CurveInsertion,
        testing::Values(
            CurveCase{ "through_vertices_along_diagonals",
                { { Segment2D{ at( 0, 0 ), at( 4, 4 ) } } }, 0 },
            CurveCase{ "along_existing_edges",
                { { Segment2D{ at( 0, 1 ), at( 3, 1 ) }, Segment2D{ at( 3, 1 ), at( 3, 4 ) } } },
                0 },
            CurveCase{ "crossing_many_edges",
                { { Segment2D{ at( 0.1, 0.3 ), at( 3.9, 3.4 ) } } }, NO_ID },
            CurveCase{ "polyline_of_disjoint_segments",
                { { Segment2D{ at( 0.2, 0.1 ), at( 1.7, 2.2 ) },
                    Segment2D{ at( 1.7, 2.2 ), at( 3.1, 0.4 ) },
                    Segment2D{ at( 3.1, 0.4 ), at( 3.9, 3.9 ) } } },
                NO_ID },
            CurveCase{ "crossing_each_other",
                { { Segment2D{ at( 0.3, 0.2 ), at( 3.6, 3.3 ) } },
                    { Segment2D{ at( 0.2, 3.5 ), at( 3.7, 0.4 ) } } },
                NO_ID },
            CurveCase{ "overlapping_another_curve",
                { { Segment2D{ at( 0.5, 0.7 ), at( 3.5, 0.7 ) } },
                    { Segment2D{ at( 1.5, 0.7 ), at( 4, 0.7 ) } } },
                NO_ID },
            CurveCase{ "nearly_on_an_edge",
                { { Segment2D{ at( 0.5, 2 + 4e-7 ), at( 3.5, 2 - 4e-7 ) } } }, 2 },
            CurveCase{ "nearly_parallel_to_an_edge",
                { { Segment2D{ at( 0.5, 2 + 3e-5 ), at( 3.5, 2 + 1e-5 ) } } }, NO_ID },
            CurveCase{ "tiny_segments",
                { { Segment2D{ at( 1.3, 1.1 ), at( 1.3 + 4e-7, 1.1 ) },
                    Segment2D{ at( 2.3, 1.1 ), at( 2.3 + 3e-6, 1.1 + 2e-6 ) } } },
                NO_ID },
            CurveCase{ "along_the_border",
                { { Segment2D{ at( 0.5, 0 ), at( 3.5, 0 ) } } }, 2 } ),
        []( const testing::TestParamInfo< CurveCase >& info ) {
            return info.param.name;
        } );

    TEST( BackgroundInsertion, consecutive_points_of_a_polyline_share_a_vertex )
    {
        Insertion insertion{ brevane::test::grid_surface< 2 >( 3, 3 ) };
        const auto curve = polyline( { at( 0.2, 0.2 ), at( 1.5, 1.2 ), at( 2.5, 2.8 ) } );
        const uuid line;
        const auto info = insertion.inserter.insert_curve( *curve, line );
        ASSERT_EQ( info.vertices.size(), 4 );
        EXPECT_EQ( info.vertices[1], info.vertices[2] );
        EXPECT_THAT( insertion.fixture.background->macro_vertices( info.vertices[1] ),
            UnorderedElementsAre( MeshVertex{ line, 1 }, MeshVertex{ line, 2 } ) );
        EXPECT_EQ( info.chains.size(), 2 );
        for( const auto& chain : info.chains )
        {
            EXPECT_FALSE( chain.empty() );
        }
        insertion.expect_curve( *curve, line );
        insertion.expect_valid();
    }

    TEST( BackgroundInsertion, a_segment_across_a_hole_is_refused )
    {
        Insertion insertion{ brevane::test::l_shape< 2 >() };
        const auto curve = polyline( { at( 3.5, 1.5 ), at( 1.5, 3.5 ) } );
        EXPECT_THROW( insertion.inserter.insert_curve( *curve, uuid{} ), TessarkException );
    }

    TEST( BackgroundInsertion, random_segments_in_a_random_triangulation )
    {
        // A 12 x 12 grid with its inner vertices moved at random (each stays
        // well inside its ring of neighbours).
        constexpr index_t size = 12;
        auto surface = brevane::test::grid_surface< 2 >( size, size );
        std::mt19937 random{ 42 };
        std::uniform_real_distribution< double > jitter{ -0.3, 0.3 };
        {
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            for( index_t j = 1; j < size; j++ )
            {
                for( index_t i = 1; i < size; i++ )
                {
                    builder->set_point( j * ( size + 1 ) + i,
                        at( i + jitter( random ), j + jitter( random ) ) );
                }
            }
        }
        Insertion insertion{ std::move( surface ) };
        std::uniform_real_distribution< double > coordinate{ 0, double( size ) };
        std::uniform_real_distribution< double > offset{ -2, 2 };
        std::vector< std::pair< std::unique_ptr< EdgedCurve2D >, uuid > > inputs;
        for( index_t curve = 0; curve < 30; curve++ )
        {
            std::vector< Point2D > points{ at( coordinate( random ), coordinate( random ) ) };
            for( index_t segment = 0; segment < 10; segment++ )
            {
                const auto& last = points.back();
                points.push_back( at(
                    std::clamp( last.value( 0 ) + offset( random ), 0., double( size ) ),
                    std::clamp( last.value( 1 ) + offset( random ), 0., double( size ) ) ) );
            }
            inputs.emplace_back( polyline( points ), uuid{} );
            insertion.inserter.insert_curve( *inputs.back().first, inputs.back().second );
        }
        insertion.expect_valid();
        for( const auto& [curve, id] : inputs )
        {
            insertion.expect_curve( *curve, id );
        }
    }

    TEST( BackgroundInsertion, random_segments_between_lattice_points )
    {
        // Ends on a lattice finer than the grid: segments run through
        // vertices, along edges and along each other exactly.
        constexpr index_t size = 6;
        Insertion insertion{ brevane::test::grid_surface< 2 >( size, size ) };
        std::mt19937 random{ 7 };
        std::uniform_int_distribution< int > lattice{ 0, 4 * int( size ) };
        std::vector< std::pair< std::unique_ptr< EdgedCurve2D >, uuid > > inputs;
        for( index_t curve = 0; curve < 40; curve++ )
        {
            std::vector< Segment2D > list;
            for( index_t segment = 0; segment < 5; segment++ )
            {
                list.emplace_back( at( lattice( random ) / 4., lattice( random ) / 4. ),
                    at( lattice( random ) / 4., lattice( random ) / 4. ) );
            }
            inputs.emplace_back( segments( list ), uuid{} );
            insertion.inserter.insert_curve( *inputs.back().first, inputs.back().second );
        }
        insertion.expect_valid();
        for( const auto& [curve, id] : inputs )
        {
            insertion.expect_curve( *curve, id );
        }
        // Compaction drops the edges split away and keeps the chains.
        const auto nb_edges = insertion.fixture.mesh().edges().nb_edges();
        const auto mappings = insertion.fixture.modifier->clean();
        EXPECT_LT( insertion.fixture.mesh().edges().nb_edges(), nb_edges );
        EXPECT_EQ( mappings.edges.size(), nb_edges );
        insertion.expect_valid();
        for( const auto& [curve, id] : inputs )
        {
            insertion.expect_curve( *curve, id );
        }
    }
} // namespace brevane::internal
