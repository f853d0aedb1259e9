#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include <samples/sample_model.h>

#include <pillar/top_surface_plan_view.h>

#include "factory_benchmark.h"
#include "pillars/pillar_context.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"

// The reading stages of a build on factory models (five horizons, two
// faults): the search trees of the surface meshes, the surface groups order
// and the pillars defined before decimation.
namespace
{
    using namespace brevane;

    struct PreparedModel
    {
        explicit PreparedModel( index_t target_top_triangles )
            : sample( build_sample_model(
                bench::factory_parameters( target_top_triangles ) ) ),
              plan( internal::create_plan_view() )
        {
            const internal::TopSurfaceContext context{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            internal::project_top_surfaces( context, *plan.surface,
                plan.background, *plan.z_coordinate );
            internal::insert_model_components(
                context, *plan.surface, plan.background );
            for( const auto& id : sample.top_surfaces )
            {
                nb_top_triangles += sample.model.surface( id ).mesh().nb_polygons();
            }
            const auto box = sample.model.bounding_box();
            top_z = box.max().value( 2 ) + 1e-6;
            bottom_z = box.min().value( 2 ) - 1.0;
            trees = create_surface_meshes_aabb_trees( sample.model );
            groups = internal::compute_surface_groups( sample.model );
            order = internal::find_surface_groups_order(
                sampling(), groups, bottom_z );
        }

        internal::ColumnSamplingContext sampling() const
        {
            return { sample.model, sample.top_surfaces, sample.bottom_surfaces,
                *plan.surface, *plan.z_coordinate, trees };
        }

        SampleModel sample;
        internal::PlanView plan;
        double nb_top_triangles{ 0 };
        double top_z{ 0 };
        double bottom_z{ 0 };
        ModelMeshesAABBTree< 3 > trees;
        std::vector< SurfaceGroup > groups;
        std::vector< SurfaceGroup > order;
    };

    PreparedModel& prepared_model( benchmark::State& state )
    {
        static std::map< index_t, std::unique_ptr< PreparedModel > > models;
        const auto size = static_cast< index_t >( state.range( 0 ) );
        auto& model = models[size];
        if( !model )
        {
            model = std::make_unique< PreparedModel >( size );
        }
        state.counters["top_triangles"] = model->nb_top_triangles;
        return *model;
    }

    void surface_trees( benchmark::State& state )
    {
        auto& model = prepared_model( state );
        for( auto _ : state )
        {
            benchmark::DoNotOptimize(
                create_surface_meshes_aabb_trees( model.sample.model ) );
        }
    }

    void surface_groups_order( benchmark::State& state )
    {
        auto& model = prepared_model( state );
        internal::SurfaceGroupsOrderSearchResult result;
        for( auto _ : state )
        {
            const auto groups = internal::compute_surface_groups( model.sample.model );
            result = internal::search_surface_groups_order(
                model.sampling(), groups, model.bottom_z );
        }
        state.counters["groups"] = static_cast< double >( result.order.size() );
        state.counters["sampled_columns"] = result.nb_sampled_columns;
        state.counters["recorded_columns"] = result.nb_recorded_columns;
    }

    void pillars_before_decimation( benchmark::State& state )
    {
        auto& model = prepared_model( state );
        const internal::PillarModelContext context{ model.sample.model,
            model.sample.top_surfaces, model.sample.bottom_surfaces, model.trees,
            model.plan.background, model.order };
        double nb_pillars{ 0 };
        for( auto _ : state )
        {
            const auto pillars = internal::define_pillars_before_decimation(
                context, model.top_z, model.bottom_z );
            nb_pillars = static_cast< double >( pillars.size() );
        }
        state.counters["pillars"] = nb_pillars;
        state.counters["time_per_pillar"] = benchmark::Counter( nb_pillars,
            benchmark::Counter::kIsIterationInvariantRate
                | benchmark::Counter::kInvert );
    }

    BENCHMARK( surface_trees )->Apply( bench::factory_sizes );
    BENCHMARK( surface_groups_order )->Apply( bench::factory_sizes );
    BENCHMARK( pillars_before_decimation )->Apply( bench::factory_sizes );
} // namespace

BENCHMARK_MAIN();
