#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <samples/height_field_surface.h>
#include <tessark/search/mesh_aabb.h>
#include <tessark/search/ray_tracing.h>

namespace
{
    using namespace brevane;
    using PolygonDistance = RayTracing3D::PolygonDistance;
    using Height = std::function< double( double, double ) >;

    double wavy( double x, double y )
    {
        return 0.7 * std::sin( 1.3 * x ) * std::cos( 0.9 * y ) + 0.1 * x;
    }

    bool hit_order( const PolygonDistance& hit0, const PolygonDistance& hit1 )
    {
        return std::tie( hit0.polygon, hit0.distance, hit0.point )
               < std::tie( hit1.polygon, hit1.distance, hit1.point );
    }

    std::vector< PolygonDistance > sorted( std::vector< PolygonDistance > hits )
    {
        std::sort( hits.begin(), hits.end(), hit_order );
        return hits;
    }

    void expect_same_hits( const std::vector< PolygonDistance >& hits,
        const std::vector< PolygonDistance >& expected )
    {
        ASSERT_EQ( hits.size(), expected.size() );
        for( std::size_t hit = 0; hit < hits.size(); hit++ )
        {
            EXPECT_EQ( hits[hit].polygon, expected[hit].polygon );
            EXPECT_EQ( hits[hit].distance, expected[hit].distance );
            EXPECT_EQ( hits[hit].point, expected[hit].point );
        }
    }

    // Walks the tree of the mesh's polygons with one RayTracing3D.
    RayTracing3D trace_with_tree( const SurfaceMesh< 3 >& mesh,
        const AABBTree3D& tree, const Segment3D& segment )
    {
        RayTracing3D tracing{ mesh, segment.vertices()[0], segment };
        tree.compute_segment_element_bbox_intersections( segment, tracing );
        return tracing;
    }

    // Tests every polygon of the mesh.
    RayTracing3D trace_every_polygon(
        const SurfaceMesh< 3 >& mesh, const Segment3D& segment )
    {
        RayTracing3D tracing{ mesh, segment.vertices()[0], segment };
        for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
        {
            tracing( polygon );
        }
        return tracing;
    }

    Segment3D vertical( double x, double y, double top, double bottom )
    {
        return { Point3D{ { x, y, top } }, Point3D{ { x, y, bottom } } };
    }

    TEST( RayTracing3D, vertical_segments_find_shared_vertices_and_edges )
    {
        constexpr index_t nb_squares{ 6 };
        const auto mesh = height_field_surface( nb_squares, wavy );
        const auto tree = create_aabb_tree( *mesh );
        struct Probe
        {
            double x;
            double y;
            // Triangles of the grid holding the point.
            index_t nb_triangles;
        };
        std::vector< Probe > probes;
        const auto on_border = []( index_t value )
        {
            return value == 0 || value == nb_squares;
        };
        for( index_t j = 0; j <= nb_squares; j++ )
        {
            for( index_t i = 0; i <= nb_squares; i++ )
            {
                index_t around{ 0 };
                for( index_t polygon = 0; polygon < mesh->nb_polygons();
                     polygon++ )
                {
                    const auto vertices = mesh->polygon_vertices( polygon );
                    around +=
                        static_cast< index_t >( std::count( vertices.begin(),
                            vertices.end(), j * ( nb_squares + 1 ) + i ) );
                }
                probes.push_back( { double( i ), double( j ), around } );
                if( i < nb_squares )
                {
                    // Middle of a horizontal edge.
                    probes.push_back( { i + 0.5, double( j ),
                        on_border( j ) ? index_t{ 1 } : index_t{ 2 } } );
                }
                if( j < nb_squares )
                {
                    // Middle of a vertical edge.
                    probes.push_back( { double( i ), j + 0.5,
                        on_border( i ) ? index_t{ 1 } : index_t{ 2 } } );
                }
                if( i < nb_squares && j < nb_squares )
                {
                    // Middle of a diagonal, then inside each triangle.
                    probes.push_back( { i + 0.5, j + 0.5, 2 } );
                    probes.push_back( { i + 0.75, j + 0.25, 1 } );
                    probes.push_back( { i + 0.25, j + 0.75, 1 } );
                }
            }
        }
        for( const auto& probe : probes )
        {
            const auto segment = vertical( probe.x, probe.y, 10, -10 );
            const auto tracing = trace_with_tree( *mesh, tree, segment );
            const auto& hits = tracing.all_intersections();
            EXPECT_EQ( hits.size(), probe.nb_triangles )
                << probe.x << " " << probe.y;
            expect_same_hits(
                sorted( hits ), sorted( trace_every_polygon( *mesh, segment )
                                            .all_intersections() ) );
            const auto closest = tracing.closest_polygon();
            ASSERT_TRUE( closest.has_value() ) << probe.x << " " << probe.y;
            EXPECT_NEAR( closest->point.value( 0 ), probe.x, 1e-12 );
            EXPECT_NEAR( closest->point.value( 1 ), probe.y, 1e-12 );
            EXPECT_NEAR(
                closest->distance, 10 - closest->point.value( 2 ), 1e-12 );
            for( const auto& hit : hits )
            {
                EXPECT_LE( std::tie( closest->distance, closest->polygon ),
                    std::tie( hit.distance, hit.polygon ) );
            }
        }
    }

    TEST( RayTracing3D, hits_at_a_grid_vertex_are_exactly_that_vertex )
    {
        const auto mesh = height_field_surface( 3, wavy );
        const auto tree = create_aabb_tree( *mesh );
        const auto center = mesh->point( 5 );
        const auto tracing = trace_with_tree( *mesh, tree,
            vertical( center.value( 0 ), center.value( 1 ), 5, -5 ) );
        ASSERT_EQ( tracing.all_intersections().size(), 6 );
        index_t smallest{ NO_ID };
        for( const auto& hit : tracing.all_intersections() )
        {
            EXPECT_EQ( hit.point, center );
            smallest = std::min( smallest, hit.polygon );
        }
        EXPECT_EQ( tracing.closest_polygon()->polygon, smallest );
    }

    TEST( RayTracing3D, tree_walk_equals_testing_every_triangle )
    {
        const auto mesh = height_field_surface( 12, wavy );
        const auto tree = create_aabb_tree( *mesh );
        std::mt19937 engine{ 29 };
        std::uniform_real_distribution< double > horizontal{ -1, 13 };
        std::uniform_real_distribution< double > height{ -2, 2 };
        for( int query = 0; query < 300; query++ )
        {
            const Point3D start{ { horizontal( engine ), horizontal( engine ),
                height( engine ) } };
            const auto end =
                query % 3 == 0
                    ? Point3D{ { start.value( 0 ), start.value( 1 ), -3 } }
                    : Point3D{ { horizontal( engine ), horizontal( engine ),
                        height( engine ) } };
            const Segment3D segment{ start, end };
            const auto with_tree = trace_with_tree( *mesh, tree, segment );
            const auto brute_force = trace_every_polygon( *mesh, segment );
            expect_same_hits( sorted( with_tree.all_intersections() ),
                sorted( brute_force.all_intersections() ) );
            const auto closest = with_tree.closest_polygon();
            const auto expected = brute_force.closest_polygon();
            ASSERT_EQ( closest.has_value(), expected.has_value() );
            if( expected )
            {
                EXPECT_EQ( closest->polygon, expected->polygon );
                EXPECT_EQ( closest->point, expected->point );
            }
        }
    }

    TEST( RayTracing3D, segments_ending_on_missing_or_lying_in_a_flat_surface )
    {
        const auto mesh = height_field_surface( 4,
            []( double, double )
            {
                return 0.;
            } );
        const auto tree = create_aabb_tree( *mesh );
        struct Case
        {
            Segment3D segment;
            Point3D origin;
            std::optional< Point3D > closest;
            double distance;
        };
        const auto point = []( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        };
        const std::vector< Case > cases{
            { vertical( 1.3, 1.6, 5, 0 ), point( 1.3, 1.6, 5 ),
                point( 1.3, 1.6, 0 ), 5 },
            { vertical( 1.3, 1.6, 0, 5 ), point( 1.3, 1.6, 0 ),
                point( 1.3, 1.6, 0 ), 0 },
            { vertical( 1.3, 1.6, 5, 1e-9 ), point( 1.3, 1.6, 5 ), std::nullopt,
                0 },
            { vertical( 4.5, 1, 5, -5 ), point( 4.5, 1, 5 ), std::nullopt, 0 },
            { vertical( 4, 4, 5, -5 ), point( 4, 4, 5 ), point( 4, 4, 0 ), 5 },
            { vertical( 4 + 1e-12, 2, 5, -5 ), point( 4, 2, 5 ), std::nullopt,
                0 },
            { Segment3D{ point( 0.5, 0.2, 0 ), point( 3.5, 0.2, 0 ) },
                point( 0, 0.2, 0 ), point( 0.5, 0.2, 0 ), 0.5 },
            { Segment3D{ point( 0.5, 0.2, 0 ), point( 3.5, 0.2, 0 ) },
                point( 2.25, 3, 0 ), point( 2.25, 0.2, 0 ), 2.8 },
            { Segment3D{ point( 5, 0.2, 0 ), point( 6, 0.2, 0 ) },
                point( 5, 0.2, 0 ), std::nullopt, 0 },
        };
        for( const auto& test : cases )
        {
            RayTracing3D tracing{ *mesh, test.origin, test.segment };
            tree.compute_segment_element_bbox_intersections(
                test.segment, tracing );
            const auto closest = tracing.closest_polygon();
            ASSERT_EQ( closest.has_value(), test.closest.has_value() )
                << test.segment.vertices()[0].string() << " -> "
                << test.segment.vertices()[1].string();
            if( test.closest )
            {
                EXPECT_TRUE( closest->point.inexact_equal( *test.closest ) )
                    << closest->point.string();
                EXPECT_NEAR( closest->distance, test.distance, 1e-12 );
            }
        }
    }

    TEST(
        RayTracing3D, segment_in_the_plane_of_a_wall_gets_the_nearest_overlap )
    {
        auto mesh = TriangulatedSurface3D::create();
        auto builder = TriangulatedSurfaceBuilder< 3 >::create( *mesh );
        builder->create_point( Point3D{ { 0, 0, 0 } } );
        builder->create_point( Point3D{ { 0, 1, 0 } } );
        builder->create_point( Point3D{ { 0, 0, 1 } } );
        builder->create_triangle( { 0, 1, 2 } );
        const auto segment = vertical( 0, 0.25, 2, -1 );
        RayTracing3D tracing{ *mesh, segment.vertices()[0], segment };
        tracing( 0 );
        const auto closest = tracing.closest_polygon();
        ASSERT_TRUE( closest.has_value() );
        EXPECT_TRUE(
            closest->point.inexact_equal( Point3D{ { 0, 0.25, 0.75 } } ) );
        EXPECT_NEAR( closest->distance, 1.25, 1e-12 );

        RayTracing3D beside{ *mesh, Point3D{ { 0, 2, 2 } },
            vertical( 0, 2, 2, -1 ) };
        beside( 0 );
        EXPECT_FALSE( beside.closest_polygon().has_value() );
    }

    TEST( RayTracing3D, polygons_are_hit_once_through_their_fan )
    {
        auto mesh = PolygonalSurface3D::create();
        auto builder = PolygonalSurfaceBuilder< 3 >::create( *mesh );
        for( const auto& corner :
            std::vector< std::array< double, 3 > >{ { 0, 0, 0 }, { 1, 0, 0 },
                { 1, 1, 0 }, { 0, 1, 0 }, { 2, 0, 1 }, { 2, 1, 1 } } )
        {
            builder->create_point( Point3D{ corner } );
        }
        builder->create_polygon( std::vector< index_t >{ 0, 1, 2, 3 } );
        builder->create_polygon( std::vector< index_t >{ 1, 4, 5, 2 } );
        const auto tree = create_aabb_tree( *mesh );
        struct Case
        {
            double x;
            double y;
            std::vector< index_t > polygons;
        };
        const std::vector< Case > cases{
            { 0.5, 0.5, { 0 } },
            { 0.9, 0.1, { 0 } },
            { 1, 0.5, { 0, 1 } },
            { 1.5, 0.5, { 1 } },
            { 2.5, 0.5, {} },
        };
        for( const auto& test : cases )
        {
            const auto tracing = trace_with_tree(
                *mesh, tree, vertical( test.x, test.y, 5, -5 ) );
            std::vector< index_t > polygons;
            for( const auto& hit : tracing.all_intersections() )
            {
                polygons.push_back( hit.polygon );
            }
            std::sort( polygons.begin(), polygons.end() );
            EXPECT_EQ( polygons, test.polygons ) << test.x << " " << test.y;
        }
        const auto tracing =
            trace_with_tree( *mesh, tree, vertical( 1.5, 0.5, 5, -5 ) );
        EXPECT_TRUE( tracing.all_intersections().front().point.inexact_equal(
            Point3D{ { 1.5, 0.5, 0.5 } } ) );
    }

    TEST( RayTracing3D, concurrent_tracings_match_sequential_ones )
    {
        const auto mesh = height_field_surface( 30, wavy );
        const auto tree = create_aabb_tree( *mesh );
        std::mt19937 engine{ 43 };
        std::uniform_real_distribution< double > horizontal{ 0, 30 };
        std::vector< Segment3D > segments;
        for( int query = 0; query < 500; query++ )
        {
            segments.push_back(
                vertical( horizontal( engine ), horizontal( engine ), 5, -5 ) );
        }
        const auto trace_all = [&]
        {
            std::vector< std::vector< PolygonDistance > > hits;
            for( const auto& segment : segments )
            {
                hits.push_back( trace_with_tree( *mesh, tree, segment )
                                    .all_intersections() );
            }
            return hits;
        };
        const auto sequential = trace_all();
        std::vector< std::vector< std::vector< PolygonDistance > > > parallel(
            4 );
        std::vector< std::thread > threads;
        for( auto& hits : parallel )
        {
            threads.emplace_back(
                [&hits, &trace_all]
                {
                    hits = trace_all();
                } );
        }
        for( auto& thread : threads )
        {
            thread.join();
        }
        for( const auto& hits : parallel )
        {
            ASSERT_EQ( hits.size(), sequential.size() );
            for( std::size_t query = 0; query < hits.size(); query++ )
            {
                expect_same_hits( hits[query], sequential[query] );
            }
        }
    }

    TEST( RayTracing3D, rejects_unknown_polygons )
    {
        const auto mesh = height_field_surface( 1, wavy );
        RayTracing3D tracing{ *mesh, Point3D{}, vertical( 0.5, 0.5, 1, -1 ) };
        try
        {
            tracing( 2 );
            ADD_FAILURE() << "an unknown polygon was accepted";
        }
        catch( const TessarkException& exception )
        {
            EXPECT_THAT( exception.what(), testing::HasSubstr( "Polygon 2" ) );
        }
    }
} // namespace
