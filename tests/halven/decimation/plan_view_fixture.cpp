#include "plan_view_fixture.h"

#include <algorithm>
#include <limits>
#include <random>

#include <absl/strings/str_cat.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface_inserter.h>
#include <halven/decimation/internal_distance.h>

#include "halven/background/background_checks.h"
#include "halven/background/chain_checks.h"
#include "support/mesh_fixtures.h"

namespace brevane::internal::test
{
    namespace
    {
        std::unique_ptr< TriangulatedSurface2D > jittered_grid(
            index_t nb_squares, std::mt19937& random )
        {
            auto surface =
                brevane::test::grid_surface< 2 >( nb_squares, nb_squares );
            std::uniform_real_distribution< double > shift{ -0.25, 0.25 };
            auto builder = TriangulatedSurfaceBuilder2D::create( *surface );
            for( index_t j = 1; j < nb_squares; j++ )
            {
                for( index_t i = 1; i < nb_squares; i++ )
                {
                    builder->set_point( j * ( nb_squares + 1 ) + i,
                        Point2D{
                            { i + shift( random ), j + shift( random ) } } );
                }
            }
            return surface;
        }
    } // namespace

    PlanView::PlanView( index_t nb_squares, index_t nb_traces, unsigned seed )
    {
        std::mt19937 random{ seed };
        fixture = std::make_unique< BackgroundFixture >(
            jittered_grid( nb_squares, random ) );
        {
            BackgroundSurfaceInserter inserter{ { *fixture->background,
                                                    *fixture->modifier },
                *fixture->background_builder };
            std::uniform_real_distribution< double > coordinate{ 0.3,
                nb_squares - 0.3 };
            std::uniform_int_distribution< index_t > nb_points{ 2, 4 };
            for( index_t trace = 0; trace < nb_traces; trace++ )
            {
                std::vector< Point2D > points( nb_points( random ) );
                for( auto& point : points )
                {
                    point = Point2D{ { coordinate( random ),
                        coordinate( random ) } };
                }
                auto curve = EdgedCurve2D::create();
                auto builder = EdgedCurveBuilder2D::create( *curve );
                builder->create_point( points.front() );
                Trace inserted;
                for( index_t point = 1; point < points.size(); point++ )
                {
                    builder->create_point( points[point] );
                    builder->create_edge( point - 1, point );
                    inserted.segments.emplace_back(
                        points[point - 1], points[point] );
                }
                inserter.insert_curve( *curve, inserted.id );
                traces.push_back( std::move( inserted ) );
            }
        }
        fixture->modifier->clean();
        constraints = std::make_unique< BackgroundSurfaceConstraintModifier >(
            std::pair< BackgroundSurface&, BackgroundSurfaceModifier& >{
                *fixture->background, *fixture->modifier },
            *fixture->background_builder, 2 );
        const auto& mesh = fixture->mesh();
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            const auto& records = fixture->background->macro_vertices( vertex );
            if( !records.empty() || mesh.is_vertex_on_border( vertex ) )
            {
                fixed_vertices.push_back( { mesh.point( vertex ), records } );
            }
        }
        area = live_area( *fixture->background, fixture->modifier.get() );
    }

    index_t PlanView::nb_live_vertices() const
    {
        const auto& mesh = fixture->mesh();
        index_t count{ 0 };
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            if( !fixture->modifier->is_vertex_deleted( vertex )
                && !mesh.is_vertex_isolated( vertex ) )
            {
                count++;
            }
        }
        return count;
    }

    double PlanView::worst_quality() const
    {
        const auto& mesh = fixture->mesh();
        auto worst = std::numeric_limits< double >::infinity();
        for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
        {
            if( !fixture->modifier->is_polygon_deleted( polygon ) )
            {
                worst = std::min( worst, minimal_triangle_internal_distance(
                                             mesh.triangle( polygon ) )
                                             .value );
            }
        }
        return worst;
    }

    std::vector< std::string > PlanView::problems() const
    {
        const auto& background = *fixture->background;
        const auto& modifier = *fixture->modifier;
        auto result = background_problems( background, &modifier );
        const auto current_area = live_area( background, &modifier );
        if( std::abs( current_area - area ) > 1e-9 * area )
        {
            result.push_back(
                absl::StrCat( "area ", current_area, " instead of ", area ) );
        }
        for( const auto& trace : traces )
        {
            for( index_t edge = 0; edge < trace.segments.size(); edge++ )
            {
                for( const auto& problem :
                    chain_problems( background, modifier, { trace.id, edge },
                        trace.segments[edge], 2 * GLOBAL_EPSILON ) )
                {
                    result.push_back( absl::StrCat( "trace ", trace.id.string(),
                        " edge ", edge, ": ", problem ) );
                }
            }
        }
        for( const auto& fixed : fixed_vertices )
        {
            const auto vertex = vertex_at( background, modifier, fixed.point );
            if( vertex == NO_ID )
            {
                result.push_back( absl::StrCat(
                    "no vertex at ", fixed.point.string(), " any more" ) );
                continue;
            }
            if( background.macro_vertices( vertex ) != fixed.records )
            {
                result.push_back( absl::StrCat( "vertex ", vertex, " at ",
                    fixed.point.string(), " changed its records" ) );
            }
        }
        return result;
    }
} // namespace brevane::internal::test
