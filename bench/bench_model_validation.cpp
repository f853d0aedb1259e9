#include <benchmark/benchmark.h>

#include <halven/conversion/model_builder_from_unique_vertices.h>
#include <samples/sample_model.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/model/model_meshes_aabb_tree.h>

#include "factory_benchmark.h"

namespace
{
    using namespace brevane;

    SampleModel sample( benchmark::State& state )
    {
        return build_sample_model( bench::factory_parameters(
            static_cast< index_t >( state.range( 0 ) ) ) );
    }

    double nb_triangles( const BRep& model )
    {
        double count{ 0 };
        for( const auto& surface : model.surfaces() )
        {
            count += surface.mesh().nb_polygons();
        }
        return count;
    }

    // The validator over a whole model, as every rebuilt model gets it.
    void validate( benchmark::State& state )
    {
        const auto model = sample( state );
        for( auto _ : state )
        {
            const auto report = validate_model( model.model );
            benchmark::DoNotOptimize( report.problems.size() );
        }
        state.counters["triangles"] = nb_triangles( model.model );
    }
    BENCHMARK( validate )->Apply( bench::factory_sizes );

    // The search trees over every surface mesh of a model.
    void surface_trees( benchmark::State& state )
    {
        const auto model = sample( state );
        for( auto _ : state )
        {
            const auto trees = create_surface_meshes_aabb_trees( model.model );
            benchmark::DoNotOptimize( trees.mesh_trees.size() );
        }
        state.counters["triangles"] = nb_triangles( model.model );
    }
    BENCHMARK( surface_trees )->Apply( bench::factory_sizes );

    // Lines and corners rebuilt from the surfaces and unique vertices.
    void update_model( benchmark::State& state )
    {
        for( auto _ : state )
        {
            state.PauseTiming();
            auto model = sample( state );
            state.ResumeTiming();
            ModelBuilderFromUniqueVertices< StructuralModel >{ model.model, {} }
                .update_model();
            benchmark::DoNotOptimize( model.model.nb_lines() );
            state.counters["triangles"] = nb_triangles( model.model );
        }
    }
    BENCHMARK( update_model )->Apply( bench::factory_sizes );
} // namespace

BENCHMARK_MAIN();
