#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include <samples/sample_model.h>

#include <pillar/input_inspections.h>
#include <pillar/pillar_structural_model_builder.h>
#include <pillar/top_surface_plan_view.h>

#include "factory_benchmark.h"
#include "inspection/input_checks.h"
#include "inspection/model_fingerprint.h"

namespace
{
    using namespace brevane;

    // A factory model (five horizons, two faults) with its plan view, built
    // once per size and shared by the benchmarks of that size.
    struct InspectedModel
    {
        explicit InspectedModel( index_t target_top_triangles )
            : sample(
                build_sample_model(
                  bench::factory_parameters( target_top_triangles ) ) ),
              context{ sample.model, sample.top_surfaces,
                  sample.bottom_surfaces },
              plan_view( internal::create_plan_view() )
        {
            internal::project_top_surfaces( context, *plan_view.surface,
                plan_view.background, *plan_view.z_coordinate );
            for( const auto& id : sample.top_surfaces )
            {
                nb_top_triangles += sample.model.surface( id ).mesh().nb_polygons();
            }
        }

        SampleModel sample;
        internal::TopSurfaceContext context;
        internal::PlanView plan_view;
        double nb_top_triangles{ 0 };
    };

    InspectedModel& inspected_model( benchmark::State& state )
    {
        static std::map< index_t, std::unique_ptr< InspectedModel > > models;
        const auto size = static_cast< index_t >( state.range( 0 ) );
        auto& model = models[size];
        if( !model )
        {
            model = std::make_unique< InspectedModel >( size );
        }
        state.counters["top_triangles"] = model->nb_top_triangles;
        return *model;
    }

    void multi_z_check( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize( internal::inspect_multi_z( model.context ) );
        }
    }

    void lines_check( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize(
                internal::inspect_lines( model.sample.model ) );
        }
    }

    void points_too_far_check( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize( internal::inspect_points_too_far(
                model.context, *model.plan_view.surface ) );
        }
    }

    void surfaces_collection_check( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize(
                internal::inspect_surfaces_collection( model.sample.model ) );
        }
    }

    // The four checks at once through the builder, as a caller runs them;
    // the builder itself (the plan-view projection) is made outside the
    // timing.
    void whole_inspection( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        PillarStructuralModelBuilder builder{ model.sample.model,
            model.sample.top_surfaces, model.sample.bottom_surfaces };
        for( auto _ : state )
        {
            benchmark::DoNotOptimize( builder.is_model_construction_possible() );
        }
    }

    // The checks a build runs before anything else (input_checks.h).
    void input_checks( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize( internal::input_problems(
                model.sample.model, model.sample.top_surfaces,
                model.sample.bottom_surfaces ) );
        }
    }

    // The digest an inspection keeps of the geometry it saw.
    void fingerprint( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize(
                internal::model_fingerprint( model.sample.model ) );
        }
    }

    // What a caller pays before the first inspection: the projection of the
    // top surfaces into the plan view.
    void builder_construction( benchmark::State& state )
    {
        auto& model = inspected_model( state );
        for( auto _ : state )
        {
            PillarStructuralModelBuilder builder{ model.sample.model,
                model.sample.top_surfaces, model.sample.bottom_surfaces };
            benchmark::DoNotOptimize( builder );
        }
    }

    void sizes( benchmark::internal::Benchmark* benchmark )
    {
        benchmark->Arg( 100000 )->Arg( 1000000 )->Unit( benchmark::kMillisecond );
    }

    BENCHMARK( multi_z_check )->Apply( sizes );
    BENCHMARK( lines_check )->Apply( sizes );
    BENCHMARK( points_too_far_check )->Apply( sizes );
    BENCHMARK( surfaces_collection_check )->Apply( sizes );
    BENCHMARK( whole_inspection )->Apply( sizes );
    BENCHMARK( input_checks )->Apply( sizes );
    BENCHMARK( fingerprint )->Apply( sizes );
    BENCHMARK( builder_construction )->Apply( sizes );
} // namespace

BENCHMARK_MAIN();
