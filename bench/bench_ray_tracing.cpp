#include <optional>
#include <vector>

#include <benchmark/benchmark.h>

#include <tessark/search/mesh_aabb.h>
#include <tessark/search/ray_tracing.h>

#include "vertical_ray_queries.h"

// The vertical ray queries of the library (bench_ray_tracing_embree runs the
// same ones through Embree).
namespace
{
    using namespace brevane;

    // The first hit on a surface of about 10^6 triangles, one query per
    // iteration: tree walk, exact triangle tests and the nearest hit.
    void vertical_ray_tracing( benchmark::State& state )
    {
        const auto mesh = height_field_surface(
            bench::HEIGHT_FIELD_SQUARES, bench::height_field_height );
        const auto tree = create_aabb_tree( *mesh );
        const auto queries = bench::height_field_queries();
        std::size_t next{ 0 };
        std::size_t nb_hits{ 0 };
        for( auto _ : state )
        {
            const auto& segment = queries[next++ % queries.size()];
            RayTracing3D tracing{ *mesh, segment.vertices()[0], segment };
            tree.compute_segment_element_bbox_intersections( segment, tracing );
            nb_hits += tracing.closest_polygon().has_value() ? 1 : 0;
        }
        benchmark::DoNotOptimize( nb_hits );
        state.counters["triangles"] = mesh->nb_polygons();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( vertical_ray_tracing )->Unit( benchmark::kMicrosecond );

    // Every hit along a pillar through all the surfaces of a factory model
    // (about 6.4 times the top triangles): one walk of the tree over the
    // leaves of all the surface trees, and the exact test of every
    // candidate.
    void pillar_hits( benchmark::State& state )
    {
        auto& model = bench::factory_pillar_queries(
            static_cast< index_t >( state.range( 0 ) ) );
        std::size_t next{ 0 };
        std::size_t nb_hits{ 0 };
        std::size_t nb_candidates{ 0 };
        for( auto _ : state )
        {
            const auto& segment = model.queries[next++ % model.queries.size()];
            std::vector< std::optional< RayTracing3D > > tracers(
                model.meshes.size() );
            auto trace = [&]( index_t mesh, index_t polygon )
            {
                auto& tracer = tracers[mesh];
                if( !tracer )
                {
                    tracer.emplace( *model.meshes[mesh], segment.vertices()[0],
                        segment );
                }
                ( *tracer )( polygon );
                nb_candidates++;
            };
            model.trees.compute_segment_mesh_element_intersections(
                segment, trace );
            for( const auto& tracer : tracers )
            {
                nb_hits += tracer ? tracer->all_intersections().size() : 0;
            }
        }
        state.counters["triangles"] = model.nb_triangles;
        state.counters["hits_per_pillar"] =
            static_cast< double >( nb_hits ) / state.iterations();
        state.counters["candidates_per_pillar"] =
            static_cast< double >( nb_candidates ) / state.iterations();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( pillar_hits )->Apply( bench::pillar_query_sizes );
    // The same hits found the earlier way: the tree of every surface
    // walked one after the other.
    void pillar_hits_surface_by_surface( benchmark::State& state )
    {
        auto& model = bench::factory_pillar_queries(
            static_cast< index_t >( state.range( 0 ) ) );
        std::size_t next{ 0 };
        std::size_t nb{ 0 };
        for( auto _ : state )
        {
            const auto& segment = model.queries[next++ % model.queries.size()];
            for( index_t mesh = 0; mesh < model.meshes.size(); mesh++ )
            {
                RayTracing3D tracer{ *model.meshes[mesh],
                    segment.vertices()[0], segment };
                model.trees.mesh_trees[mesh]
                    .compute_segment_element_bbox_intersections(
                        segment, tracer );
                nb += tracer.all_intersections().size();
            }
        }
        state.counters["triangles"] = model.nb_triangles;
        state.counters["hits_per_pillar"] =
            static_cast< double >( nb ) / state.iterations();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( pillar_hits_surface_by_surface )->Apply( bench::pillar_query_sizes );
} // namespace

BENCHMARK_MAIN();
