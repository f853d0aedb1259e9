#include <algorithm>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>

#include <halven/background/background_surface_inserter.h>
#include <halven/metric/grid_metric.h>

#include "background_checks.h"
#include "background_fixture.h"
#include "chain_checks.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal
{
    // The plan view of a model: a top surface whose vertices all carry a
    // record, corners and lines inserted, the surface compacted, then the
    // target lengths painted from its edges.
    TEST( BackgroundWorkflow, corners_and_lines_then_clean_then_metric )
    {
        test::BackgroundFixture fixture{ brevane::test::grid_surface< 2 >( 8, 6 ) };
        const auto& mesh = fixture.mesh();
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            fixture.background_builder->add_macro_vertex_info( { fixture.top, vertex }, vertex );
        }
        const auto nb_top_vertices = mesh.nb_vertices();
        BackgroundSurfaceInserter inserter{ { *fixture.background, *fixture.modifier },
            *fixture.background_builder };

        const std::vector< Point2D > corner_points{ Point2D{ { 0.5, 0.5 } },
            Point2D{ { 7.3, 5.6 } }, Point2D{ { 4, 0 } } };
        const uuid corners;
        auto corner_set = PointSet2D::create();
        {
            auto builder = PointSetBuilder2D::create( *corner_set );
            for( const auto& point : corner_points )
            {
                builder->create_point( point );
            }
        }
        inserter.insert_point_set( *corner_set, corners );

        // A line from the first corner to the second through an inner
        // point, as disjoint segments, and a line crossing it from the third
        // corner up to the top border.
        const std::vector< std::vector< Point2D > > lines{
            { corner_points[0], Point2D{ { 3.2, 4.1 } }, corner_points[1] },
            { corner_points[2], Point2D{ { 3.9, 3.3 } }, Point2D{ { 2.2, 6 } } } };
        std::vector< std::pair< std::unique_ptr< EdgedCurve2D >, uuid > > curves;
        for( const auto& line : lines )
        {
            auto curve = EdgedCurve2D::create();
            auto builder = EdgedCurveBuilder2D::create( *curve );
            for( std::size_t point = 1; point < line.size(); point++ )
            {
                builder->create_edge( builder->create_point( line[point - 1] ),
                    builder->create_point( line[point] ) );
            }
            curves.emplace_back( std::move( curve ), uuid{} );
            inserter.insert_curve( *curves.back().first, curves.back().second );
        }
        fixture.modifier->clean();

        EXPECT_THAT( test::background_problems( *fixture.background, fixture.modifier.get() ),
            testing::IsEmpty() );
        EXPECT_NEAR( test::live_area( *fixture.background, nullptr ), 48, 1e-9 );
        for( index_t corner = 0; corner < corner_points.size(); corner++ )
        {
            const auto vertex =
                test::vertex_at( *fixture.background, *fixture.modifier, corner_points[corner] );
            ASSERT_NE( vertex, NO_ID );
            EXPECT_THAT( fixture.background->macro_vertices( vertex ),
                testing::Contains( MeshVertex{ corners, corner } ) );
        }
        for( const auto& [curve, id] : curves )
        {
            for( index_t edge = 0; edge < curve->nb_edges(); edge++ )
            {
                EXPECT_THAT( test::chain_problems( *fixture.background, *fixture.modifier,
                                 { id, edge }, curve->segment( edge ), 2 * GLOBAL_EPSILON ),
                    testing::IsEmpty() );
            }
        }
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            EXPECT_NEAR( fixture.height( vertex ), test::height_at( mesh.point( vertex ) ), 1e-9 );
        }
        // Top surface vertices keep their records and are never collapsed.
        for( index_t vertex = 0; vertex < nb_top_vertices; vertex++ )
        {
            EXPECT_THAT( fixture.background->macro_vertices( vertex ),
                testing::Contains( MeshVertex{ fixture.top, vertex } ) );
            for( const auto neighbour : mesh.vertices_around_vertex( vertex ) )
            {
                EXPECT_FALSE( fixture.modifier->is_collapse_edge_valid( vertex, neighbour ) );
            }
        }

        double shortest{ std::numeric_limits< double >::max() };
        double total{ 0 };
        for( index_t edge = 0; edge < mesh.edges().nb_edges(); edge++ )
        {
            const auto& ends = mesh.edges().edge_vertices( edge );
            const auto length = Segment2D{ mesh.point( ends[0] ), mesh.point( ends[1] ) }.length();
            shortest = std::min( shortest, length );
            total += length;
        }
        const auto mean = total / mesh.edges().nb_edges();
        const auto grid = build_grid_from_bbox_target_length_and_maximum_cell_number(
            mesh.bounding_box(), shortest, 10000000 );
        GridMetric2D metric{ grid, mean };
        for( index_t edge = 0; edge < mesh.edges().nb_edges(); edge++ )
        {
            const auto& ends = mesh.edges().edge_vertices( edge );
            const Segment2D segment{ mesh.point( ends[0] ), mesh.point( ends[1] ) };
            metric.paint_segment( segment, segment.length(), 0 );
        }
        metric.optimize( 1.2, 0 );
        for( index_t edge = 0; edge < mesh.edges().nb_edges(); edge++ )
        {
            const auto& ends = mesh.edges().edge_vertices( edge );
            const Segment2D segment{ mesh.point( ends[0] ), mesh.point( ends[1] ) };
            EXPECT_LE( metric.metric( segment.barycenter(), Vector2D{} ), segment.length() );
            EXPECT_GE( metric.metric( segment.barycenter(), Vector2D{} ), shortest );
        }
    }
} // namespace brevane::internal
