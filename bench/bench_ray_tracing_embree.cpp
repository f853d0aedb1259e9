#include <vector>

#include <benchmark/benchmark.h>
#include <embree3/rtcore.h>

#include "vertical_ray_queries.h"

// The vertical ray queries of bench_ray_tracing run through Embree on the
// same triangles, as a yardstick. Embree works in floats and decides
// nothing exactly, where the library's triangle tests are exact.
namespace
{
    using namespace brevane;

    // An Embree scene of triangle meshes, one geometry per mesh (geometry
    // id = position in the list).
    class EmbreeScene
    {
    public:
        EmbreeScene( const std::vector< const SurfaceMesh< 3 >* >& meshes,
            RTCFilterFunctionN filter )
            : device_( rtcNewDevice( nullptr ) ),
              scene_( rtcNewScene( device_ ) )
        {
            for( const auto* mesh : meshes )
            {
                auto geometry =
                    rtcNewGeometry( device_, RTC_GEOMETRY_TYPE_TRIANGLE );
                auto* points = static_cast< float* >( rtcSetNewGeometryBuffer(
                    geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                    3 * sizeof( float ), mesh->nb_vertices() ) );
                for( index_t vertex = 0; vertex < mesh->nb_vertices(); vertex++ )
                {
                    for( local_index_t axis = 0; axis < 3; axis++ )
                    {
                        points[3 * vertex + axis] = static_cast< float >(
                            mesh->point( vertex ).value( axis ) );
                    }
                }
                auto* triangles =
                    static_cast< unsigned* >( rtcSetNewGeometryBuffer( geometry,
                        RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                        3 * sizeof( unsigned ), mesh->nb_polygons() ) );
                for( index_t polygon = 0; polygon < mesh->nb_polygons();
                     polygon++ )
                {
                    const auto vertices = mesh->polygon_vertices( polygon );
                    for( local_index_t corner = 0; corner < 3; corner++ )
                    {
                        triangles[3 * polygon + corner] = vertices[corner];
                    }
                }
                if( filter != nullptr )
                {
                    rtcSetGeometryIntersectFilterFunction( geometry, filter );
                }
                rtcCommitGeometry( geometry );
                rtcAttachGeometry( scene_, geometry );
                rtcReleaseGeometry( geometry );
            }
            rtcCommitScene( scene_ );
        }
        EmbreeScene( const EmbreeScene& ) = delete;
        EmbreeScene& operator=( const EmbreeScene& ) = delete;
        ~EmbreeScene()
        {
            rtcReleaseScene( scene_ );
            rtcReleaseDevice( device_ );
        }

        // The ray down from the segment's start, as long as the segment.
        void intersect( RTCIntersectContext& context, const Segment3D& segment,
            RTCRayHit& ray_hit ) const
        {
            const auto& start = segment.vertices()[0];
            auto& ray = ray_hit.ray;
            ray.org_x = static_cast< float >( start.value( 0 ) );
            ray.org_y = static_cast< float >( start.value( 1 ) );
            ray.org_z = static_cast< float >( start.value( 2 ) );
            ray.dir_x = 0;
            ray.dir_y = 0;
            ray.dir_z = -1;
            ray.tnear = 0;
            ray.tfar = static_cast< float >( segment.length() );
            ray.time = 0;
            ray.mask = ~0u;
            ray.id = 0;
            ray.flags = 0;
            ray_hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
            ray_hit.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
            rtcIntersect1( scene_, &context, &ray_hit );
        }

    private:
        RTCDevice device_;
        RTCScene scene_;
    };

    // The first hit on the height field of about 10^6 triangles.
    void vertical_ray_tracing( benchmark::State& state )
    {
        const auto mesh = height_field_surface(
            bench::HEIGHT_FIELD_SQUARES, bench::height_field_height );
        const EmbreeScene scene{ { mesh.get() }, nullptr };
        const auto queries = bench::height_field_queries();
        std::size_t next{ 0 };
        std::size_t nb_hits{ 0 };
        RTCIntersectContext context;
        rtcInitIntersectContext( &context );
        RTCRayHit ray_hit;
        for( auto _ : state )
        {
            scene.intersect(
                context, queries[next++ % queries.size()], ray_hit );
            nb_hits += ray_hit.hit.geomID != RTC_INVALID_GEOMETRY_ID ? 1 : 0;
        }
        benchmark::DoNotOptimize( nb_hits );
        state.counters["triangles"] = mesh->nb_polygons();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( vertical_ray_tracing )->Unit( benchmark::kMicrosecond );

    // Embree's intersection context counting the hits of one ray: the
    // filter records each hit and rejects it, so that the walk goes on.
    struct AllHitsContext
    {
        RTCIntersectContext context;
        std::size_t nb_hits{ 0 };
    };

    void record_and_reject( const RTCFilterFunctionNArguments* arguments )
    {
        auto* hits = reinterpret_cast< AllHitsContext* >( arguments->context );
        for( unsigned ray = 0; ray < arguments->N; ray++ )
        {
            if( arguments->valid[ray] == -1 )
            {
                hits->nb_hits++;
                arguments->valid[ray] = 0;
            }
        }
    }

    // Every hit along a pillar through all the surfaces of a factory model.
    void pillar_hits( benchmark::State& state )
    {
        auto& model = bench::factory_pillar_queries(
            static_cast< index_t >( state.range( 0 ) ) );
        const EmbreeScene scene{ model.meshes, record_and_reject };
        std::size_t next{ 0 };
        AllHitsContext hits;
        rtcInitIntersectContext( &hits.context );
        RTCRayHit ray_hit;
        for( auto _ : state )
        {
            scene.intersect( hits.context,
                model.queries[next++ % model.queries.size()], ray_hit );
        }
        state.counters["triangles"] = model.nb_triangles;
        state.counters["hits_per_pillar"] =
            static_cast< double >( hits.nb_hits ) / state.iterations();
        state.SetItemsProcessed( state.iterations() );
    }
    BENCHMARK( pillar_hits )->Apply( bench::pillar_query_sizes );
} // namespace

BENCHMARK_MAIN();
