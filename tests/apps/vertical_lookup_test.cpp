#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include <tessark/search/mesh_aabb.h>

#include "support/mesh_fixtures.h"
#include "vertical_lookup.h"

namespace brevane::test
{
    namespace
    {
        Segment3D vertical( double x, double y )
        {
            return { Point3D{ { x, y, 10 } }, Point3D{ { x, y, -10 } } };
        }

        // The polygons the query reports, sorted.
        template < typename Query >
        std::vector< index_t > candidates( const Query& query )
        {
            std::vector< index_t > found;
            auto record = [&found]( index_t polygon )
            {
                found.push_back( polygon );
                return false;
            };
            query( record );
            std::sort( found.begin(), found.end() );
            return found;
        }

        // The look-up gives the polygons the search tree gives, on random
        // verticals, inside and around the surface, and exactly on its
        // vertices and on the middles of its edges.
        void expect_tree_candidates( const SurfaceMesh< 3 >& mesh,
            double extent_x, double extent_y )
        {
            const cli::VerticalLookup lookup{ mesh };
            const auto tree = create_aabb_tree( mesh );
            std::vector< std::pair< double, double > > places;
            std::mt19937 random{ 7 };
            std::uniform_real_distribution< double > along_x{ -1,
                extent_x + 1 };
            std::uniform_real_distribution< double > along_y{ -1,
                extent_y + 1 };
            for( int query = 0; query < 2000; query++ )
            {
                places.emplace_back( along_x( random ), along_y( random ) );
            }
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                const auto& point = mesh.point( vertex );
                places.emplace_back( point.value( 0 ), point.value( 1 ) );
                places.emplace_back(
                    point.value( 0 ) + 0.5, point.value( 1 ) );
                places.emplace_back(
                    point.value( 0 ), point.value( 1 ) + 0.5 );
            }
            for( const auto& [x, y] : places )
            {
                const auto segment = vertical( x, y );
                EXPECT_EQ( candidates(
                               [&]( auto& record )
                               {
                                   lookup.for_each_candidate(
                                       segment, record );
                               } ),
                    candidates(
                        [&]( auto& record )
                        {
                            tree.compute_segment_element_bbox_intersections(
                                segment, record );
                        } ) )
                    << "at " << x << ", " << y;
            }
        }

        TEST( VerticalLookup, FindsWhatTheTreeFindsOnATriangleGrid )
        {
            const auto surface = grid_surface< 3 >( 20, 15 );
            expect_tree_candidates( *surface, 20, 15 );
        }

        TEST( VerticalLookup, FindsWhatTheTreeFindsOnAQuadrangleGrid )
        {
            const auto surface = quad_grid< 3 >( 7, 30 );
            expect_tree_candidates( *surface, 7, 30 );
        }

        TEST( VerticalLookup, FindsWhatTheTreeFindsOnAOneRowGrid )
        {
            const auto surface = grid_surface< 3 >( 40, 1 );
            expect_tree_candidates( *surface, 40, 1 );
        }
    } // namespace
} // namespace brevane::test
