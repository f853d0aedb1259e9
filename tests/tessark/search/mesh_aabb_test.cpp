#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/polygonal_surface_builder.h>
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
        auto collect = [&elements]( index_t element ) {
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
                    if( curve->segment( edge ).bounding_box().intersects( box ) )
                    {
                        expected.push_back( edge );
                    }
                }
                EXPECT_EQ( tree_elements( tree, box ), expected );
            }
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
            auto collect = [&found]( index_t polygon ) {
                found.push_back( polygon );
            };
            tree.compute_segment_element_bbox_intersections( segment, collect );
            std::sort( found.begin(), found.end() );
            EXPECT_EQ( found, expected );
        }
    }
} // namespace
