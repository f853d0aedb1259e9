#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/geometry/distance.h>
#include <tessark/search/distance_to_edge.h>
#include <tessark/search/distance_to_triangle.h>
#include <tessark/search/mesh_aabb.h>

namespace
{
    using namespace brevane;

    template < index_t D >
    Point< D > random_point( std::mt19937& engine, double low, double high )
    {
        std::uniform_real_distribution< double > coordinate{ low, high };
        Point< D > point;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            point.set_value( axis, coordinate( engine ) );
        }
        return point;
    }

    // Random edges between random vertices, some vertices shared by many
    // edges and some edges repeated.
    template < index_t D >
    std::unique_ptr< EdgedCurve< D > > random_curve(
        index_t nb_edges, unsigned seed )
    {
        std::mt19937 engine{ seed };
        auto curve = EdgedCurve< D >::create();
        auto builder = EdgedCurveBuilder< D >::create( *curve );
        const auto nb_vertices = std::max( index_t{ 2 }, nb_edges / 2 );
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            builder->create_point( random_point< D >( engine, 0, 1 ) );
        }
        std::uniform_int_distribution< index_t > any_vertex{ 0,
            nb_vertices - 1 };
        for( index_t edge = 0; edge < nb_edges; edge++ )
        {
            const auto start = any_vertex( engine );
            auto end = any_vertex( engine );
            if( end == start )
            {
                end = ( start + 1 ) % nb_vertices;
            }
            builder->create_edge( start, end );
        }
        return curve;
    }

    template < index_t D >
    std::vector< index_t > tree_elements(
        const AABBTree< D >& tree, const BoundingBox< D >& box )
    {
        std::vector< index_t > elements;
        auto collect = [&elements]( index_t element )
        {
            elements.push_back( element );
        };
        tree.compute_bbox_element_bbox_intersections( box, collect );
        std::sort( elements.begin(), elements.end() );
        return elements;
    }

    TEST( MeshAABB, edge_tree_holds_one_box_per_edge )
    {
        for( const index_t nb_edges : { 0, 1, 2, 50, 600 } )
        {
            const auto curve = random_curve< 2 >( nb_edges, 3 + nb_edges );
            const auto tree = create_aabb_tree( *curve );
            ASSERT_EQ( tree.nb_bboxes(), nb_edges );
            std::mt19937 engine{ 19 };
            for( int query = 0; query < 50; query++ )
            {
                BoundingBox2D box;
                box.add_point( random_point< 2 >( engine, -0.2, 1.2 ) );
                box.add_point( random_point< 2 >( engine, -0.2, 1.2 ) );
                std::vector< index_t > expected;
                for( index_t edge = 0; edge < curve->nb_edges(); edge++ )
                {
                    if( curve->segment( edge ).bounding_box().intersects(
                            box ) )
                    {
                        expected.push_back( edge );
                    }
                }
                EXPECT_EQ( tree_elements( tree, box ), expected );
            }
        }
    }

    // The element of smallest ( distance, index ) among all elements.
    template < index_t D, typename Distance >
    std::tuple< index_t, double > brute_force_closest(
        index_t nb_elements, const Point< D >& query, const Distance& distance )
    {
        index_t best{ NO_ID };
        double best_distance{ std::numeric_limits< double >::max() };
        for( index_t element = 0; element < nb_elements; element++ )
        {
            const auto element_distance = distance( query, element );
            if( element_distance < best_distance )
            {
                best = element;
                best_distance = element_distance;
            }
        }
        return { best, best_distance };
    }

    template < index_t D >
    void check_closest_edges( index_t nb_edges )
    {
        const auto curve = random_curve< D >( nb_edges, 61 + nb_edges );
        const auto tree = create_aabb_tree( *curve );
        const DistanceToEdge< D > distance{ *curve };
        std::mt19937 engine{ 67 };
        std::vector< Point< D > > queries;
        for( int query = 0; query < 100; query++ )
        {
            queries.push_back( random_point< D >( engine, -0.5, 1.5 ) );
        }
        // Vertices are shared by several edges: exact ties at distance 0.
        for( index_t vertex = 0; vertex < curve->nb_vertices(); vertex++ )
        {
            queries.push_back( curve->point( vertex ) );
        }
        for( const auto& query : queries )
        {
            EXPECT_EQ( tree.closest_element_box( query, distance ),
                brute_force_closest( curve->nb_edges(), query, distance ) )
                << query.string();
        }
    }

    TEST( MeshAABB, closest_edge_equals_brute_force )
    {
        for( const index_t nb_edges : { 1, 2, 3, 50, 600 } )
        {
            check_closest_edges< 2 >( nb_edges );
            check_closest_edges< 3 >( nb_edges );
        }
    }

    TEST( MeshAABB, closest_triangle_equals_brute_force )
    {
        constexpr index_t nb_squares{ 15 };
        auto mesh = TriangulatedSurface3D::create();
        auto builder = TriangulatedSurfaceBuilder< 3 >::create( *mesh );
        for( index_t j = 0; j <= nb_squares; j++ )
        {
            for( index_t i = 0; i <= nb_squares; i++ )
            {
                builder->create_point( Point3D{ { double( i ), double( j ),
                    std::sin( 0.8 * i ) * std::cos( 0.6 * j ) } } );
            }
        }
        for( index_t j = 0; j < nb_squares; j++ )
        {
            for( index_t i = 0; i < nb_squares; i++ )
            {
                const auto corner = j * ( nb_squares + 1 ) + i;
                builder->create_triangle(
                    { corner, corner + 1, corner + nb_squares + 2 } );
                builder->create_triangle( { corner, corner + nb_squares + 2,
                    corner + nb_squares + 1 } );
            }
        }
        const auto tree = create_aabb_tree( *mesh );
        const DistanceToTriangle distance{ *mesh };
        std::mt19937 engine{ 71 };
        std::uniform_real_distribution< double > horizontal{ -3, 18 };
        std::uniform_real_distribution< double > vertical{ -4, 4 };
        std::vector< Point3D > queries;
        for( int query = 0; query < 300; query++ )
        {
            queries.push_back( Point3D{ { horizontal( engine ),
                horizontal( engine ), vertical( engine ) } } );
        }
        for( index_t vertex = 0; vertex < mesh->nb_vertices(); vertex += 7 )
        {
            queries.push_back( mesh->point( vertex ) );
        }
        for( const auto& query : queries )
        {
            EXPECT_EQ( tree.closest_element_box( query, distance ),
                brute_force_closest( mesh->nb_polygons(), query, distance ) )
                << query.string();
        }
    }

    TEST( MeshAABB, closest_vertex_equals_brute_force )
    {
        std::mt19937 engine{ 73 };
        auto points = PointSet2D::create();
        auto builder = PointSetBuilder< 2 >::create( *points );
        for( int vertex = 0; vertex < 400; vertex++ )
        {
            builder->create_point( random_point< 2 >( engine, 0, 1 ) );
        }
        // Repeated points: ties between distinct vertices.
        for( index_t vertex = 0; vertex < 40; vertex++ )
        {
            builder->create_point( points->point( 3 * vertex ) );
        }
        const auto tree = create_aabb_tree( *points );
        ASSERT_EQ( tree.nb_bboxes(), points->nb_vertices() );
        const auto distance = [&points]( const Point2D& query, index_t vertex )
        {
            return point_point_distance( query, points->point( vertex ) );
        };
        for( int query = 0; query < 300; query++ )
        {
            const auto point = query % 3 == 0
                                   ? points->point( query )
                                   : random_point< 2 >( engine, -1, 2 );
            EXPECT_EQ( tree.closest_element_box( point, distance ),
                brute_force_closest( points->nb_vertices(), point, distance ) )
                << point.string();
        }
    }

    TEST( MeshAABB, polygon_tree_holds_one_box_per_polygon )
    {
        std::mt19937 engine{ 37 };
        auto mesh = PolygonalSurface3D::create();
        auto builder = PolygonalSurfaceBuilder< 3 >::create( *mesh );
        for( int vertex = 0; vertex < 300; vertex++ )
        {
            builder->create_point( random_point< 3 >( engine, 0, 1 ) );
        }
        std::uniform_int_distribution< index_t > any_vertex{ 0, 299 };
        for( int polygon = 0; polygon < 400; polygon++ )
        {
            std::vector< index_t > vertices;
            while( vertices.size() < std::size_t( 3 + polygon % 3 ) )
            {
                const auto vertex = any_vertex( engine );
                if( std::find( vertices.begin(), vertices.end(), vertex )
                    == vertices.end() )
                {
                    vertices.push_back( vertex );
                }
            }
            builder->create_polygon( vertices );
        }
        const auto tree = create_aabb_tree( *mesh );
        ASSERT_EQ( tree.nb_bboxes(), mesh->nb_polygons() );
        for( int query = 0; query < 50; query++ )
        {
            const Segment3D segment{ random_point< 3 >( engine, -0.2, 1.2 ),
                random_point< 3 >( engine, -0.2, 1.2 ) };
            std::vector< index_t > expected;
            for( index_t polygon = 0; polygon < mesh->nb_polygons(); polygon++ )
            {
                BoundingBox3D box;
                for( const auto vertex : mesh->polygon_vertices( polygon ) )
                {
                    box.add_point( mesh->point( vertex ) );
                }
                if( box.epsilon_intersects( segment ) )
                {
                    expected.push_back( polygon );
                }
            }
            std::vector< index_t > found;
            auto collect = [&found]( index_t polygon )
            {
                found.push_back( polygon );
            };
            tree.compute_segment_element_bbox_intersections( segment, collect );
            std::sort( found.begin(), found.end() );
            EXPECT_EQ( found, expected );
        }
    }
} // namespace
