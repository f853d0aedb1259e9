#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <samples/height_field_surface.h>

#include <tessark/mesh/triangulated_surface.h>
#include <tessark/search/mesh_aabb.h>
#include <tessark/search/ray_tracing.h>

namespace
{
    using namespace brevane;

    double height( double x, double y )
    {
        return 3 * std::sin( x / 7 ) * std::cos( y / 5 );
    }

    // Vertical segments from above to below a surface of about 10^6
    // triangles, one query per iteration: tree walk, exact triangle tests
    // and the nearest hit.
    void vertical_ray_tracing( benchmark::State& state )
    {
        constexpr index_t nb_squares{ 708 };
        const auto mesh = height_field_surface( nb_squares, height );
        const auto tree = create_aabb_tree( *mesh );
        std::mt19937 engine{ 13 };
        std::uniform_real_distribution< double > coordinate{ 0,
            double( nb_squares ) };
        std::vector< Segment3D > queries;
        for( int query = 0; query < 4096; query++ )
        {
            const auto x = coordinate( engine );
            const auto y = coordinate( engine );
            queries.emplace_back(
                Point3D{ { x, y, 10 } }, Point3D{ { x, y, -10 } } );
        }
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
} // namespace

BENCHMARK_MAIN();
