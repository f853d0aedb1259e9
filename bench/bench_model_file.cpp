#include <filesystem>
#include <optional>

#include <benchmark/benchmark.h>

#include <tessark/basic/uuid.h>

#include <io/model_file.h>

#include <samples/sample_model.h>

#include "factory_benchmark.h"

// Saving and loading model files of factory models (two faults, five
// horizons): the time, the size of the files and the peak memory.
namespace
{
    using namespace brevane;

    // A folder of its own under the system's temporary folder, removed at
    // the end.
    class ScratchFolder
    {
    public:
        ScratchFolder()
            : path_( std::filesystem::temp_directory_path()
                     / ( "brevane_bench_model_file_" + uuid{}.string() ) )
        {
            std::filesystem::create_directories( path_ );
        }
        ~ScratchFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all( path_, ignored );
        }
        ScratchFolder( const ScratchFolder& ) = delete;
        ScratchFolder& operator=( const ScratchFolder& ) = delete;

        [[nodiscard]] std::filesystem::path model_file() const
        {
            return path_ / "model.vtm";
        }
        // The bytes of every file written.
        [[nodiscard]] double size_mib() const
        {
            std::uintmax_t bytes{ 0 };
            for( const auto& entry :
                std::filesystem::recursive_directory_iterator( path_ ) )
            {
                if( entry.is_regular_file() )
                {
                    bytes += entry.file_size();
                }
            }
            return static_cast< double >( bytes ) / ( 1024. * 1024. );
        }

    private:
        std::filesystem::path path_;
    };

    void count_model( benchmark::State& state, const StructuralModel& model )
    {
        double nb_triangles{ 0 };
        for( const auto& surface : model.surfaces() )
        {
            nb_triangles += surface.mesh().nb_polygons();
        }
        state.counters["triangles"] = nb_triangles;
        state.counters["unique_vertices"] = model.nb_unique_vertices();
    }

    void save_model_file( benchmark::State& state )
    {
        const auto sample = build_sample_model( bench::factory_parameters(
            static_cast< index_t >( state.range( 0 ) ) ) );
        ScratchFolder folder;
        bench::reset_peak_memory();
        for( auto _ : state )
        {
            save_model( sample.model, folder.model_file() );
        }
        count_model( state, sample.model );
        state.counters["files_MiB"] = folder.size_mib();
        state.counters["peak_MiB"] = bench::peak_memory_mib();
    }
    BENCHMARK( save_model_file )->Apply( bench::factory_sizes );

    void load_model_file( benchmark::State& state )
    {
        ScratchFolder folder;
        {
            const auto sample = build_sample_model( bench::factory_parameters(
                static_cast< index_t >( state.range( 0 ) ) ) );
            save_model( sample.model, folder.model_file() );
        }
        bench::reset_peak_memory();
        std::optional< StructuralModel > model;
        for( auto _ : state )
        {
            model.emplace( load_model( folder.model_file() ) );
        }
        count_model( state, *model );
        state.counters["files_MiB"] = folder.size_mib();
        state.counters["peak_MiB"] = bench::peak_memory_mib();
    }
    BENCHMARK( load_model_file )->Apply( bench::factory_sizes );
} // namespace

BENCHMARK_MAIN();
