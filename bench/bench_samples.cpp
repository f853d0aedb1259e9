#include <fstream>
#include <optional>
#include <string>

#include <benchmark/benchmark.h>

#include <samples/sample_model.h>

namespace
{
    using namespace brevane;

    // The peak resident memory of the process in MiB (VmHWM).
    double peak_memory_mib()
    {
        std::ifstream status{ "/proc/self/status" };
        std::string line;
        while( std::getline( status, line ) )
        {
            if( line.rfind( "VmHWM:", 0 ) == 0 )
            {
                return std::stod( line.substr( 6 ) ) / 1024;
            }
        }
        return 0;
    }

    // Restarts the peak memory count from the current resident memory, so
    // that each size reports its own peak.
    void reset_peak_memory()
    {
        std::ofstream clear{ "/proc/self/clear_refs" };
        clear << "5";
    }

    SampleModelParameters benchmark_parameters( index_t target_top_triangles )
    {
        SampleModelParameters parameters;
        parameters.nb_horizons = 5;
        parameters.faults = spread_faults( parameters.box, 2 );
        parameters.resolution.target_top_triangles = target_top_triangles;
        return parameters;
    }

    void sample_model_factory( benchmark::State& state )
    {
        const auto parameters =
            benchmark_parameters( static_cast< index_t >( state.range( 0 ) ) );
        reset_peak_memory();
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
        state.counters["peak_MiB"] = peak_memory_mib();
    }
    BENCHMARK( sample_model_factory )
        ->Arg( 10000 )
        ->Arg( 100000 )
        ->Arg( 1000000 )
        ->Unit( benchmark::kMillisecond )
        ->Iterations( 1 );
} // namespace

BENCHMARK_MAIN();
