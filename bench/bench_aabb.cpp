#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <samples/height_field_surface.h>

#include <tessark/mesh/triangulated_surface.h>
#include <tessark/search/aabb.h>
#include <tessark/search/distance_to_triangle.h>
#include <tessark/search/mesh_aabb.h>

namespace
{
    using namespace brevane;

    double height( double x, double y )
    {
        return 3 * std::sin( x / 7 ) * std::cos( y / 5 );
    }

    std::vector< BoundingBox3D > triangle_boxes(
        const TriangulatedSurface3D& mesh )
    {
        std::vector< BoundingBox3D > boxes;
        boxes.reserve( mesh.nb_polygons() );
        for( index_t triangle = 0; triangle < mesh.nb_polygons(); triangle++ )
        {
            boxes.push_back( mesh.triangle( triangle ).bounding_box() );
        }
        return boxes;
    }

    // Grid sides giving about 10^4, 10^5 and 10^6 triangles.
    void triangle_counts( benchmark::internal::Benchmark* bench )
    {
        bench->Arg( 71 )->Arg( 224 )->Arg( 708 );
    }

    // The tree from a ready list of boxes.
    void tree_build_from_boxes( benchmark::State& state )
    {
        const auto mesh = height_field_surface(
            static_cast< index_t >( state.range( 0 ) ), height );
        const auto boxes = triangle_boxes( *mesh );
        for( auto _ : state )
        {
            const AABBTree3D tree{ boxes };
            benchmark::DoNotOptimize( tree.nb_bboxes() );
        }
        state.counters["triangles"] = mesh->nb_polygons();
    }
    BENCHMARK( tree_build_from_boxes )
        ->Apply( triangle_counts )
        ->Unit( benchmark::kMillisecond )
        ->UseRealTime();

    // The polygon boxes and the tree from the mesh.
    void tree_build_from_mesh( benchmark::State& state )
    {
        const auto mesh = height_field_surface(
            static_cast< index_t >( state.range( 0 ) ), height );
        for( auto _ : state )
        {
            const auto tree = create_aabb_tree( *mesh );
            benchmark::DoNotOptimize( tree.nb_bboxes() );
        }
        state.counters["triangles"] = mesh->nb_polygons();
    }
    BENCHMARK( tree_build_from_mesh )
        ->Apply( triangle_counts )
        ->Unit( benchmark::kMillisecond )
        ->UseRealTime();

    // One nearest-triangle query per iteration, from points up to 5 units
    // above or below the surface.
    void closest_triangle( benchmark::State& state )
    {
        const auto nb_squares = static_cast< index_t >( state.range( 0 ) );
        const auto mesh = height_field_surface( nb_squares, height );
        const auto tree = create_aabb_tree( *mesh );
        const DistanceToTriangle distance{ *mesh };
        std::mt19937 engine{ 5 };
        std::uniform_real_distribution< double > horizontal{ 0,
            double( nb_squares ) };
        std::uniform_real_distribution< double > vertical{ -8, 8 };
        std::vector< Point3D > queries;
        for( int query = 0; query < 4096; query++ )
        {
            queries.push_back( Point3D{ { horizontal( engine ),
                horizontal( engine ), vertical( engine ) } } );
        }
        std::size_t next{ 0 };
        for( auto _ : state )
        {
            benchmark::DoNotOptimize( tree.closest_element_box(
                queries[next++ % queries.size()], distance ) );
        }
        state.counters["triangles"] = mesh->nb_polygons();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( closest_triangle )
        ->Apply( triangle_counts )
        ->Unit( benchmark::kMicrosecond );

    // One query per iteration: every triangle whose box meets a 3 x 3 box.
    void box_query( benchmark::State& state )
    {
        const auto nb_squares = static_cast< index_t >( state.range( 0 ) );
        const auto mesh = height_field_surface( nb_squares, height );
        const auto tree = create_aabb_tree( *mesh );
        std::mt19937 engine{ 7 };
        std::uniform_real_distribution< double > horizontal{ 0,
            double( nb_squares ) };
        std::vector< BoundingBox3D > queries;
        for( int query = 0; query < 4096; query++ )
        {
            BoundingBox3D box;
            box.add_point(
                Point3D{ { horizontal( engine ), horizontal( engine ), 0 } } );
            box.extends( 1.5 );
            queries.push_back( box );
        }
        std::size_t next{ 0 };
        std::size_t found{ 0 };
        for( auto _ : state )
        {
            auto count = [&found]( index_t )
            {
                found++;
            };
            tree.compute_bbox_element_bbox_intersections(
                queries[next++ % queries.size()], count );
        }
        benchmark::DoNotOptimize( found );
        state.counters["triangles"] = mesh->nb_polygons();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( box_query )
        ->Apply( triangle_counts )
        ->Unit( benchmark::kMicrosecond );
} // namespace

BENCHMARK_MAIN();
