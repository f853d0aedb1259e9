#pragma once

#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include <samples/sample_model_parameters.h>

// What the benchmarks on factory models share: the models and the memory
// they take.
namespace brevane::bench
{
    // The benchmark model: a 1000 x 1000 x 500 box, two faults, the given
    // number of horizons, about target_top_triangles top triangles.
    inline SampleModelParameters factory_parameters(
        index_t target_top_triangles, index_t nb_horizons = 5 )
    {
        SampleModelParameters parameters;
        parameters.nb_horizons = nb_horizons;
        parameters.faults = spread_faults( parameters.box, 2 );
        parameters.resolution.target_top_triangles = target_top_triangles;
        return parameters;
    }

    // One run at 10^4, 10^5 and 10^6 top triangles, timed in milliseconds.
    inline void factory_sizes( benchmark::internal::Benchmark* benchmark )
    {
        benchmark->Arg( 10000 )
            ->Arg( 100000 )
            ->Arg( 1000000 )
            ->Unit( benchmark::kMillisecond )
            ->Iterations( 1 );
    }

    // The peak resident memory of the process in MiB (VmHWM).
    inline double peak_memory_mib()
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
    inline void reset_peak_memory()
    {
        std::ofstream clear{ "/proc/self/clear_refs" };
        clear << "5";
    }
} // namespace brevane::bench
