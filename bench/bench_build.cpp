#include <chrono>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <tessark/basic/logger.h>
#include <tessark/model/model_snapshot.h>

#include <pillar/pillar_structural_model_builder.h>

#include <samples/sample_model.h>

#include "factory_benchmark.h"

// The whole build on factory models (two faults, five or ten horizons),
// without and with the cells of the blocks: the time of each stage, from
// the driver's trace lines, the peak memory of the build and the number of
// cells.
namespace
{
    using namespace brevane;
    using Clock = std::chrono::steady_clock;

    // Short counter names for the driver's stages, in order.
    const std::vector< std::string >& stage_names()
    {
        static const std::vector< std::string > names{ "1_trees_ms",
            "2_order_ms", "3_pillars_ms", "4_decimation_ms", "5_surfaces_ms",
            "6_unique_vertices_ms", "7_boundaries_ms", "8_update_ms",
            "9_cells_ms" };
        return names;
    }

    void whole_build( benchmark::State& state )
    {
        const auto parameters = bench::factory_parameters(
            static_cast< index_t >( state.range( 0 ) ),
            static_cast< index_t >( state.range( 1 ) ) );
        for( auto _ : state )
        {
            state.PauseTiming();
            auto sample = build_sample_model( parameters );
            // The snapshot a build takes to restore the model on failure,
            // taken and restored alone (taking it is part of the decimation
            // stage's time below).
            const auto snapshot_start = Clock::now();
            {
                ModelSnapshot snapshot{ sample.model };
                snapshot.restore();
                state.counters["snapshot_ms"] =
                    std::chrono::duration< double, std::milli >(
                        Clock::now() - snapshot_start )
                        .count();
            }
            std::vector< Clock::time_point > stages;
            Logger::set_level( Logger::LEVEL::trace );
            Logger::set_sink(
                [&stages]( Logger::LEVEL, std::string_view )
                {
                    stages.push_back( Clock::now() );
                } );
            bench::reset_peak_memory();
            const auto memory_before = bench::peak_memory_mib();
            state.ResumeTiming();

            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            PillarStructuralModelOptions options;
            options.add_block_mesh = state.range( 2 ) != 0;
            const auto result = builder.build( options );
            const auto end = Clock::now();

            state.PauseTiming();
            Logger::set_sink( {} );
            Logger::set_level( Logger::LEVEL::info );
            state.counters["peak_MiB"] = bench::peak_memory_mib();
            state.counters["model_MiB"] = memory_before;
            stages.push_back( end );
            for( std::size_t stage = 0;
                 stage + 1 < stages.size() && stage < stage_names().size();
                 stage++ )
            {
                state.counters[stage_names()[stage]] =
                    std::chrono::duration< double, std::milli >(
                        stages[stage + 1] - stages[stage] )
                        .count();
            }
            state.counters["slices"] =
                static_cast< double >( result.slice_collection_order.size() );
            double nb_cells{ 0 };
            for( const auto& block : sample.model.blocks() )
            {
                nb_cells += block.mesh().nb_polyhedra();
            }
            state.counters["cells"] = nb_cells;
            state.ResumeTiming();
        }
    }
    BENCHMARK( whole_build )
        ->ArgsProduct( { { 10000, 100000, 1000000 }, { 5, 10 }, { 0, 1 } } )
        ->Unit( benchmark::kMillisecond )
        ->Iterations( 1 );
} // namespace

BENCHMARK_MAIN();
