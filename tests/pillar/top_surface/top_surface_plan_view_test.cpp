#include <gtest/gtest.h>

#include <deque>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/predicates.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <pillar/top_surface_plan_view.h>
#include <samples/small_sample_models.h>

#include "support/mesh_fixtures.h"
#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // A plan view with its records, projected from a model's tops.
        internal::PlanView projected_plan_view(
            const internal::TopSurfaceContext& context )
        {
            auto view = internal::create_plan_view();
            internal::project_top_surfaces(
                context, *view.surface, view.background, *view.z_coordinate );
            return view;
        }

        index_t nb_connected_triangles( const TriangulatedSurface< 2 >& surface )
        {
            if( surface.nb_polygons() == 0 )
            {
                return 0;
            }
            std::vector< bool > reached( surface.nb_polygons(), false );
            std::deque< index_t > queue{ 0 };
            reached[0] = true;
            index_t count{ 0 };
            while( !queue.empty() )
            {
                const auto triangle = queue.front();
                queue.pop_front();
                count++;
                for( local_index_t edge = 0; edge < 3; edge++ )
                {
                    const auto next = surface.polygon_adjacent( { triangle, edge } );
                    if( next && !reached[*next] )
                    {
                        reached[*next] = true;
                        queue.push_back( *next );
                    }
                }
            }
            return count;
        }
    } // namespace

    TEST( TopSurfacePlanView, tops_sharing_a_border_make_one_connected_view )
    {
        const auto sample = one_fault_model();
        ASSERT_EQ( sample.top_surfaces.size(), 2u );
        const auto view = projected_plan_view(
            { sample.model, sample.top_surfaces, sample.bottom_surfaces } );
        const auto& surface = *view.surface;

        absl::flat_hash_set< index_t > uniques;
        index_t nb_triangles{ 0 };
        for( const auto& id : sample.top_surfaces )
        {
            const auto& top = sample.model.surface( id );
            nb_triangles += top.mesh().nb_polygons();
            for( index_t vertex = 0; vertex < top.mesh().nb_vertices(); vertex++ )
            {
                uniques.insert(
                    sample.model.unique_vertex( { top.component_id(), vertex } ) );
            }
        }
        EXPECT_EQ( surface.nb_vertices(), uniques.size() );
        EXPECT_EQ( surface.nb_polygons(), nb_triangles );
        EXPECT_EQ( nb_connected_triangles( surface ), nb_triangles );

        // Every plan vertex has one record; shared vertices name the first
        // top surface, and z is that vertex's height.
        const auto& first = sample.model.surface( sample.top_surfaces[0] );
        index_t nb_from_first{ 0 };
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            const auto& records = view.background.macro_vertices( vertex );
            ASSERT_EQ( records.size(), 1u );
            const auto& origin = sample.model.surface( records[0].mesh_id );
            const auto& point = origin.mesh().point( records[0].vertex );
            EXPECT_EQ( point.project_point( 2 ), surface.point( vertex ) );
            EXPECT_EQ( view.z_coordinate->value( vertex ), point.value( 2 ) );
            if( records[0].mesh_id == first.id() )
            {
                nb_from_first++;
            }
        }
        EXPECT_EQ( nb_from_first, first.mesh().nb_vertices() );
        for( index_t triangle = 0; triangle < surface.nb_polygons(); triangle++ )
        {
            EXPECT_NE( triangle_area_sign( surface.triangle( triangle ) ),
                SIDE::negative );
            EXPECT_EQ( view.background.macro_elements( triangle ).size(), 1u );
        }
    }

    TEST(
        TopSurfacePlanView, tops_without_unique_vertices_stay_whole_and_apart )
    {
        // Two tops of 2 x 2 unit squares side by side, x in [0, 2] and
        // [2, 4], none of their vertices bound to a unique vertex, vertex v
        // of the top shifted by s at height 1 + v + s. Each top is one
        // piece in plan view, and the two stay apart along x = 2.
        StructuralModel model;
        StructuralModelBuilder model_builder{ model };
        std::vector< uuid > tops;
        for( const double shift : { 0., 2. } )
        {
            auto mesh = test::grid_surface< 3 >( 2, 2 );
            auto mesh_builder =
                TriangulatedSurfaceBuilder< 3 >::create( *mesh );
            for( index_t vertex = 0; vertex < mesh->nb_vertices(); vertex++ )
            {
                const auto& point = mesh->point( vertex );
                mesh_builder->set_point(
                    vertex, Point3D{ { point.value( 0 ) + shift,
                                point.value( 1 ), 1. + vertex + shift } } );
            }
            tops.push_back( model_builder.add_surface( std::move( mesh ) ) );
        }
        const auto view = projected_plan_view( { model, tops, {} } );
        const auto& surface = *view.surface;

        EXPECT_EQ( surface.nb_vertices(), 18u );
        EXPECT_EQ( surface.nb_polygons(), 16u );
        EXPECT_EQ( surface.edges().nb_edges(), 32u );
        EXPECT_EQ( nb_connected_triangles( surface ), 8u );
        index_t nb_border_edges{ 0 };
        for( index_t triangle = 0; triangle < surface.nb_polygons();
             triangle++ )
        {
            for( local_index_t edge = 0; edge < 3; edge++ )
            {
                nb_border_edges +=
                    surface.is_edge_on_border( { triangle, edge } ) ? 1 : 0;
            }
        }
        EXPECT_EQ( nb_border_edges, 16u );

        // Each plan vertex stands for one top vertex, and only the middle
        // of each top is inside.
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            const auto& records = view.background.macro_vertices( vertex );
            ASSERT_EQ( records.size(), 1u );
            const auto& origin = model.surface( records[0].mesh_id ).mesh();
            const auto& point = origin.point( records[0].vertex );
            EXPECT_EQ( surface.point( vertex ), point.project_point( 2 ) );
            EXPECT_EQ( view.z_coordinate->value( vertex ), point.value( 2 ) );
            EXPECT_EQ(
                surface.is_vertex_on_border( vertex ), records[0].vertex != 4 )
                << vertex;
        }
    }

    TEST( TopSurfacePlanView, clockwise_triangles_are_turned_and_empty_lists_give_nothing )
    {
        test::Tetrahedron tetrahedron;
        // Face 3 is (0, 2, 1): (0, 0), (0, 1), (1, 0) seen from above, clockwise.
        const std::vector< uuid > top{ tetrahedron.surfaces[3] };
        const std::vector< uuid > none;
        const auto view =
            projected_plan_view( { tetrahedron.model, top, none } );
        ASSERT_EQ( view.surface->nb_polygons(), 1u );
        EXPECT_EQ( triangle_area_sign( view.surface->triangle( 0 ) ),
            SIDE::positive );
        // Its vertices are numbered from its lowest point, counter-clockwise.
        EXPECT_EQ( view.surface->polygon_vertices( 0 ),
            ( PolygonVertices{ 0, 1, 2 } ) );
        EXPECT_EQ( view.surface->point( 1 ), ( Point2D{ { 1, 0 } } ) );

        const auto empty =
            projected_plan_view( { tetrahedron.model, none, none } );
        EXPECT_EQ( empty.surface->nb_vertices(), 0u );
        EXPECT_EQ( empty.surface->nb_polygons(), 0u );
    }

    TEST( TopSurfacePlanView, corners_and_inner_lines_are_inserted_as_vertices_and_chains )
    {
        const auto sample = two_faults_model();
        const internal::TopSurfaceContext context{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        auto view = projected_plan_view( context );
        internal::insert_model_components(
            context, *view.surface, view.background );
        const auto& surface = *view.surface;

        absl::flat_hash_map< Point2D, index_t > vertex_at;
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            vertex_at.emplace( surface.point( vertex ), vertex );
        }
        for( const auto& corner : sample.model.corners() )
        {
            const auto point = corner.mesh().point( 0 ).project_point( 2 );
            const auto found = std::find_if( vertex_at.begin(), vertex_at.end(),
                [&point]( const auto& entry ) {
                    return entry.first.inexact_equal( point );
                } );
            EXPECT_NE( found, vertex_at.end() ) << point.string();
        }

        // Each curve edge of an inserted line is a chain of plan edges
        // joining the projections of its two ends.
        index_t nb_inserted{ 0 };
        for( const auto& line : sample.model.lines() )
        {
            if( internal::is_lateral_boundary_line( context, line ) )
            {
                continue;
            }
            nb_inserted++;
            const auto& mesh = line.mesh();
            for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
            {
                absl::flat_hash_map< index_t, index_t > degree;
                for( index_t plan_edge = 0;
                     plan_edge < surface.edges().nb_edges(); plan_edge++ )
                {
                    for( const auto& record :
                        view.background.macro_edges( plan_edge ) )
                    {
                        if( record.mesh_id == line.id() && record.edge == edge )
                        {
                            for( const auto end :
                                surface.edges().edge_vertices( plan_edge ) )
                            {
                                degree[end]++;
                            }
                        }
                    }
                }
                const auto& ends = mesh.edge_vertices( edge );
                const auto first = mesh.point( ends[0] ).project_point( 2 );
                const auto second = mesh.point( ends[1] ).project_point( 2 );
                if( first.inexact_equal( second ) )
                {
                    continue;
                }
                index_t nb_chain_ends{ 0 };
                for( const auto& [vertex, count] : degree )
                {
                    EXPECT_LE( count, 2u );
                    if( count == 1 )
                    {
                        nb_chain_ends++;
                        const auto& point = surface.point( vertex );
                        EXPECT_TRUE( point.inexact_equal( first )
                                     || point.inexact_equal( second ) )
                            << point.string();
                    }
                }
                EXPECT_EQ( nb_chain_ends, 2u ) << "line edge " << edge;
            }
        }
        EXPECT_GT( nb_inserted, 0u );
    }
} // namespace brevane
