#include <chrono>

#include <benchmark/benchmark.h>

#include <samples/sample_model.h>

#include <pillar/metric.h>
#include <pillar/top_surface_plan_view.h>

#include "factory_benchmark.h"
#include "pillars/pillar_context.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/decimate_top_surface.h"
#include "top_surface/pillar_update.h"
#include "top_surface/plan_view_statistics.h"
#include "top_surface/surface_ids.h"

// The decimation stage of a build on factory models (five horizons, two
// faults): the decimation and optimisation of the plan view, the pillars of
// every remaining vertex, the slice check and the surface ids, each timed.
namespace
{
    using namespace brevane;
    using Clock = std::chrono::steady_clock;

    double milliseconds_since( Clock::time_point start )
    {
        return std::chrono::duration< double, std::milli >( Clock::now() - start )
            .count();
    }

    void decimation_stage( benchmark::State& state )
    {
        const auto sample = build_sample_model(
            bench::factory_parameters(
                static_cast< index_t >( state.range( 0 ) ) ) );
        const internal::TopSurfaceContext tags{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        double nb_top_triangles{ 0 };
        for( const auto& id : sample.top_surfaces )
        {
            nb_top_triangles += sample.model.surface( id ).mesh().nb_polygons();
        }
        for( auto _ : state )
        {
            state.PauseTiming();
            auto plan = internal::create_plan_view();
            internal::project_top_surfaces(
                tags, *plan.surface, plan.background, *plan.z_coordinate );
            const auto metric =
                internal::create_top_surface_metric( *plan.surface );
            internal::insert_model_components(
                tags, *plan.surface, plan.background );
            const auto trees = create_surface_meshes_aabb_trees( sample.model );
            const auto box = sample.model.bounding_box();
            const auto top_z = box.max().value( 2 ) + 1e-6;
            const auto bottom_z = box.min().value( 2 ) - 1.0;
            const auto groups = internal::compute_surface_groups( sample.model );
            const auto order = internal::find_surface_groups_order(
                { sample.model, sample.top_surfaces, sample.bottom_surfaces,
                    *plan.surface, *plan.z_coordinate, trees },
                groups, bottom_z );
            const internal::PillarModelContext context{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces, trees,
                plan.background, order };
            const auto pillars = internal::define_pillars_before_decimation(
                context, top_z, bottom_z );
            const auto before = internal::plan_view_statistics( plan.background );
            state.ResumeTiming();

            auto start = Clock::now();
            internal::add_border_macro_edges( plan.background, pillars );
            const auto kept = internal::decimate_top_surface(
                context, { *plan.surface, plan.background }, pillars, metric );
            state.counters["decimation_ms"] = milliseconds_since( start );

            start = Clock::now();
            const auto all_pillars =
                internal::collect_pillars( context, kept, top_z, bottom_z );
            state.counters["collect_pillars_ms"] = milliseconds_since( start );

            start = Clock::now();
            internal::check_pillar_slices( context, all_pillars );
            state.counters["slice_check_ms"] = milliseconds_since( start );

            start = Clock::now();
            auto surface_ids = internal::find_or_create_surface_ids( *plan.surface );
            internal::assign_surface_ids( tags, plan.background, *surface_ids );
            state.counters["surface_ids_ms"] = milliseconds_since( start );

            state.PauseTiming();
            const auto after = internal::plan_view_statistics( plan.background );
            state.counters["vertices_before"] = before.nb_vertices;
            state.counters["vertices_after"] = after.nb_vertices;
            state.counters["angle_before"] = before.minimal_angle;
            state.counters["angle_after"] = after.minimal_angle;
            state.counters["removed_per_s"] = benchmark::Counter(
                static_cast< double >( before.nb_vertices )
                    - static_cast< double >( after.nb_vertices ),
                benchmark::Counter::kIsRate );
            state.ResumeTiming();
        }
        state.counters["top_triangles"] = nb_top_triangles;
    }
    BENCHMARK( decimation_stage )->Apply( bench::factory_sizes );
} // namespace

BENCHMARK_MAIN();
