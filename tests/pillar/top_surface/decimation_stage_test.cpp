#include <gtest/gtest.h>

#include <absl/strings/str_cat.h>

#include <tessark/search/ray_tracing.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "pillar/support/pillar_stage_fixture.h"
#include "support/mesh_fixtures.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/decimate_top_surface.h"
#include "top_surface/plan_view_statistics.h"
#include "top_surface/surface_ids.h"

namespace brevane
{
    namespace
    {
        struct StageCase
        {
            index_t nb_horizons;
            index_t nb_faults;
            index_t target_top_triangles;
        };

        std::string case_name( const testing::TestParamInfo< StageCase >& info )
        {
            return absl::StrCat( "H", info.param.nb_horizons, "_F",
                info.param.nb_faults, "_T", info.param.target_top_triangles );
        }

        // A factory model whose plan view went through the decimation stage.
        struct DecimatedModel
        {
            explicit DecimatedModel( const StageCase& stage_case )
                : stage( sample( stage_case ) )
            {
                before = internal::define_pillars_before_decimation(
                    stage.pillars(), stage.top_z, stage.bottom_z );
                internal::add_border_macro_edges( stage.plan.background, before );
                const auto& surface = *stage.plan.surface;
                for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
                {
                    if( surface.is_vertex_on_border( vertex ) )
                    {
                        border_points.push_back( surface.point( vertex ) );
                    }
                }
                statistics_before =
                    internal::plan_view_statistics( stage.plan.background );
                area_before = area( surface );
                after = internal::decimate_top_surface( stage.pillars(),
                    { *stage.plan.surface, stage.plan.background }, before,
                    *stage.metric );
            }

            static SampleModel sample( const StageCase& stage_case )
            {
                auto parameters = small_sample_parameters(
                    stage_case.nb_horizons, stage_case.nb_faults );
                parameters.resolution.target_top_triangles =
                    stage_case.target_top_triangles;
                return build_sample_model( parameters );
            }

            static double area( const TriangulatedSurface< 2 >& surface )
            {
                double total{ 0 };
                for( index_t triangle = 0; triangle < surface.nb_polygons();
                     triangle++ )
                {
                    const auto corners = surface.triangle( triangle );
                    const auto& points = corners.vertices();
                    const Vector2D u{ points[0], points[1] };
                    const Vector2D v{ points[0], points[2] };
                    total += ( u.value( 0 ) * v.value( 1 )
                                 - u.value( 1 ) * v.value( 0 ) )
                             / 2;
                }
                return total;
            }

            test::PillarStageFixture stage;
            PillarMap before;
            PillarMap after;
            std::vector< Point2D > border_points;
            internal::PlanViewStatistics statistics_before;
            double area_before{ 0 };
        };

        class DecimationStage : public testing::TestWithParam< StageCase >
        {
        };
    } // namespace

    // The plan view is smaller and better shaped, still valid over the same
    // area; the border and every pillar kept their place.
    TEST_P( DecimationStage, KeepsBorderPillarsAndArea )
    {
        const DecimatedModel model{ GetParam() };
        const auto& surface = *model.stage.plan.surface;
        EXPECT_TRUE( test::surface_inconsistencies( surface ).empty() );
        EXPECT_NEAR( DecimatedModel::area( surface ), model.area_before,
            1e-9 * model.area_before );
        const auto statistics =
            internal::plan_view_statistics( model.stage.plan.background );
        EXPECT_LE( statistics.nb_vertices, model.statistics_before.nb_vertices );
        EXPECT_GE( statistics.minimal_angle,
            model.statistics_before.minimal_angle );
        // Fault traces cut the top triangles into slivers that go.
        if( GetParam().nb_faults > 0 )
        {
            EXPECT_LT(
                statistics.nb_vertices, model.statistics_before.nb_vertices );
            EXPECT_GT( statistics.minimal_angle,
                model.statistics_before.minimal_angle );
        }

        std::vector< Point2D > border_points;
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            if( surface.is_vertex_on_border( vertex ) )
            {
                border_points.push_back( surface.point( vertex ) );
            }
        }
        const auto sorted = []( std::vector< Point2D > points ) {
            std::sort( points.begin(), points.end(),
                []( const Point2D& first, const Point2D& second ) {
                    return first.values() < second.values();
                } );
            return points;
        };
        EXPECT_EQ( sorted( border_points ), sorted( model.border_points ) );

        EXPECT_EQ( model.after.size(), model.before.size() );
        for( const auto& [vertex, pillar] : model.after )
        {
            EXPECT_EQ( surface.point( vertex ).value( 0 ), pillar.top.value( 0 ) );
            EXPECT_EQ( surface.point( vertex ).value( 1 ), pillar.top.value( 1 ) );
        }
    }

    // No inner edge without a trace joins two traces any more, unless both
    // its ends are on the border.
    TEST_P( DecimationStage, SplitsTheEdgesBridgingTwoTraces )
    {
        const DecimatedModel model{ GetParam() };
        const auto& surface = *model.stage.plan.surface;
        const auto& background = model.stage.plan.background;
        const auto& lines = model.stage.sample.model;
        const auto on_trace = [&]( index_t vertex ) {
            for( const auto& record : background.incident_macro_edges( vertex ) )
            {
                if( lines.has_line( record.mesh_id ) )
                {
                    return true;
                }
            }
            return false;
        };
        for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            if( !background.macro_edges( edge ).empty() )
            {
                continue;
            }
            const auto& ends = surface.edges().edge_vertices( edge );
            if( surface.is_vertex_on_border( ends[0] )
                && surface.is_vertex_on_border( ends[1] ) )
            {
                continue;
            }
            EXPECT_FALSE( on_trace( ends[0] ) && on_trace( ends[1] ) )
                << "edge " << edge << " from " << surface.point( ends[0] ).string()
                << " to " << surface.point( ends[1] ).string();
        }
    }

    // On the decimated plan view every triangle lists exactly the surfaces
    // that a vertical line through its barycentre meets (side walls apart).
    TEST_P( DecimationStage, SurfaceIdsMatchRayTracing )
    {
        const DecimatedModel model{ GetParam() };
        const auto& stage = model.stage;
        const auto& sample_model = stage.sample.model;
        const internal::TopSurfaceContext tags{ sample_model,
            stage.sample.top_surfaces, stage.sample.bottom_surfaces };
        auto surface_ids = internal::find_or_create_surface_ids( *stage.plan.surface );
        internal::assign_surface_ids( tags, stage.plan.background, *surface_ids );
        const auto& surface = *stage.plan.surface;
        for( index_t triangle = 0; triangle < surface.nb_polygons(); triangle++ )
        {
            const auto center = surface.polygon_barycenter( triangle );
            const Segment3D column{
                Point3D{ { center.value( 0 ), center.value( 1 ), stage.top_z } },
                Point3D{ { center.value( 0 ), center.value( 1 ), stage.bottom_z } }
            };
            std::vector< uuid > met;
            for( const auto& model_surface : sample_model.surfaces() )
            {
                if( internal::is_model_boundary_surface( tags, model_surface )
                    && !internal::is_top_or_bottom_surface( tags, model_surface ) )
                {
                    continue;
                }
                RayTracing3D tracer{ model_surface.mesh(), column.vertices()[0],
                    column };
                stage.trees
                    .mesh_trees[stage.trees.uuid_to_mesh_index.at(
                        model_surface.id() )]
                    .compute_segment_element_bbox_intersections( column, tracer );
                if( !tracer.all_intersections().empty() )
                {
                    met.push_back( model_surface.id() );
                }
            }
            auto listed = surface_ids->value( triangle );
            std::sort( listed.begin(), listed.end() );
            listed.erase( std::unique( listed.begin(), listed.end() ), listed.end() );
            std::sort( met.begin(), met.end() );
            EXPECT_EQ( listed, met ) << "triangle " << triangle << " at "
                                     << center.string();
        }
    }

    INSTANTIATE_TEST_SUITE_P( FactoryModels,
        DecimationStage,
        testing::Values( StageCase{ 1, 0, 200 },
            StageCase{ 2, 1, 200 },
            StageCase{ 3, 2, 800 },
            StageCase{ 2, 3, 2000 } ),
        case_name );
} // namespace brevane
