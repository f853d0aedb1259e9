#include "pillar/support/pillar_stage_fixture.h"

#include "pillars/surface_groups.h"

namespace brevane::test
{
    PillarStageFixture::PillarStageFixture( SampleModel sample_in )
        : sample( std::move( sample_in ) ),
          plan( internal::create_plan_view() ),
          trees( create_surface_meshes_aabb_trees( sample.model ) )
    {
        const internal::TopSurfaceContext context{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        internal::project_top_surfaces(
            context, *plan.surface, plan.background, *plan.z_coordinate );
        metric = std::make_unique< internal::Metric >(
            internal::create_top_surface_metric( *plan.surface ) );
        internal::insert_model_components(
            context, *plan.surface, plan.background );
        const auto box = sample.model.bounding_box();
        top_z = box.max().value( 2 ) + 1e-6;
        bottom_z = box.min().value( 2 ) - 1.0;
        groups = internal::compute_surface_groups( sample.model );
        order = internal::find_surface_groups_order(
            sampling(), groups, bottom_z );
    }

    internal::ColumnSamplingContext PillarStageFixture::sampling() const
    {
        return { sample.model, sample.top_surfaces, sample.bottom_surfaces,
            *plan.surface, *plan.z_coordinate, trees };
    }

    internal::PillarModelContext PillarStageFixture::pillars() const
    {
        return { sample.model, sample.top_surfaces, sample.bottom_surfaces,
            trees, plan.background, order };
    }

    Pillar PillarStageFixture::pillar( index_t vertex ) const
    {
        return internal::define_pillar( pillars(), vertex, top_z, bottom_z );
    }

    uuid PillarStageFixture::surface_named( std::string_view name ) const
    {
        for( const auto& surface : sample.model.surfaces() )
        {
            if( surface.name() == name )
            {
                return surface.id();
            }
        }
        throw std::runtime_error{ "no surface named " + std::string{ name } };
    }

    std::vector< std::vector< std::string > > PillarStageFixture::names_of(
        const std::vector< SurfaceGroup >& groups_in ) const
    {
        std::vector< std::vector< std::string > > names;
        for( const auto& group : groups_in )
        {
            auto& group_names = names.emplace_back();
            for( const auto& surface : group )
            {
                group_names.emplace_back(
                    sample.model.surface( surface ).name() );
            }
        }
        return names;
    }
} // namespace brevane::test
