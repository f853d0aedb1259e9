#include <optional>
#include <string>

#include <benchmark/benchmark.h>

#include <samples/sample_model.h>

#include "factory_benchmark.h"

namespace
{
    using namespace brevane;

    void sample_model_factory( benchmark::State& state )
    {
        const auto parameters =
            bench::factory_parameters(
                static_cast< index_t >( state.range( 0 ) ) );
        bench::reset_peak_memory();
        double nb_triangles{ 0 };
        double nb_top_triangles{ 0 };
        double nb_unique_vertices{ 0 };
        std::optional< SampleModel > sample;
        for( auto _ : state )
        {
            sample.emplace( build_sample_model( parameters ) );
            // Counting and destroying the model are not the factory's time.
            state.PauseTiming();
            const auto& model = sample->model;
            nb_triangles = 0;
            for( const auto& surface : model.surfaces() )
            {
                nb_triangles += surface.mesh().nb_polygons();
            }
            nb_top_triangles = 0;
            for( const auto& id : sample->top_surfaces )
            {
                nb_top_triangles += model.surface( id ).mesh().nb_polygons();
            }
            nb_unique_vertices = model.nb_unique_vertices();
            sample.reset();
            state.ResumeTiming();
        }
        state.counters["top_triangles"] = nb_top_triangles;
        state.counters["triangles"] = nb_triangles;
        state.counters["unique_vertices"] = nb_unique_vertices;
        state.counters["peak_MiB"] = bench::peak_memory_mib();
    }
    BENCHMARK( sample_model_factory )->Apply( bench::factory_sizes );
} // namespace

BENCHMARK_MAIN();
