#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <tessark/search/aabb.h>

namespace
{
    using namespace brevane;

    double height( double x, double y )
    {
        return 3 * std::sin( x / 7 ) * std::cos( y / 5 );
    }

    // The boxes of the two triangles of every square of a wavy height field
    // sampled on an n x n grid of unit squares.
    std::vector< BoundingBox3D > height_field_boxes( index_t nb_squares )
    {
        std::vector< BoundingBox3D > boxes;
        boxes.reserve( 2 * std::size_t{ nb_squares } * nb_squares );
        for( index_t j = 0; j < nb_squares; j++ )
        {
            for( index_t i = 0; i < nb_squares; i++ )
            {
                const auto corner = [&]( index_t di, index_t dj ) {
                    const double x = i + di;
                    const double y = j + dj;
                    return Point3D{ { x, y, height( x, y ) } };
                };
                const Triangle3D lower{ corner( 0, 0 ), corner( 1, 0 ),
                    corner( 1, 1 ) };
                const Triangle3D upper{ corner( 0, 0 ), corner( 1, 1 ),
                    corner( 0, 1 ) };
                boxes.push_back( lower.bounding_box() );
                boxes.push_back( upper.bounding_box() );
            }
        }
        return boxes;
    }

    // Grid sides giving about 10^4, 10^5 and 10^6 triangles.
    void triangle_counts( benchmark::internal::Benchmark* bench )
    {
        bench->Arg( 71 )->Arg( 224 )->Arg( 708 );
        bench->Unit( benchmark::kMillisecond );
    }

    void box_tree_build( benchmark::State& state )
    {
        const auto boxes =
            height_field_boxes( static_cast< index_t >( state.range( 0 ) ) );
        for( auto _ : state )
        {
            const AABBTree3D tree{ boxes };
            benchmark::DoNotOptimize( tree.nb_bboxes() );
        }
        state.counters["triangles"] = static_cast< double >( boxes.size() );
    }
    BENCHMARK( box_tree_build )->Apply( triangle_counts );

    void box_tree_box_query( benchmark::State& state )
    {
        const auto nb_squares = static_cast< index_t >( state.range( 0 ) );
        const AABBTree3D tree{ height_field_boxes( nb_squares ) };
        std::mt19937 engine{ 5 };
        std::uniform_real_distribution< double > coordinate{ 0, double( nb_squares ) };
        std::vector< BoundingBox3D > queries;
        for( int query = 0; query < 1024; query++ )
        {
            BoundingBox3D box;
            box.add_point( Point3D{ { coordinate( engine ), coordinate( engine ), 0 } } );
            box.extends( 1.5 );
            queries.push_back( box );
        }
        std::size_t next{ 0 };
        index_t found{ 0 };
        for( auto _ : state )
        {
            auto count = [&found]( index_t ) {
                found++;
            };
            tree.compute_bbox_element_bbox_intersections(
                queries[next++ % queries.size()], count );
        }
        benchmark::DoNotOptimize( found );
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( box_tree_box_query )->Apply( triangle_counts )->Unit( benchmark::kMicrosecond );
} // namespace

BENCHMARK_MAIN();
