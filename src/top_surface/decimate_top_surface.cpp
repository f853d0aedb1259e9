#include "builder/pillar_structural_model_builder_impl.h"

// The decimation stage. Filled in by the decimation stage; until then the
// plan view is kept as it is, every vertex keeps the pillar it had, the slice
// check finds nothing and the model meshes are not reset.
namespace brevane
{
    void PillarStructuralModelBuilder::Impl::add_border_macro_edges(
        const PillarMap& )
    {
    }

    PillarMap PillarStructuralModelBuilder::Impl::decimate_top_surface(
        const PillarMap& pillars, const internal::Metric& )
    {
        return pillars;
    }

    std::vector< Pillar > PillarStructuralModelBuilder::Impl::collect_pillars(
        const PillarMap& pillars,
        double top_z,
        double bottom_z,
        const ModelMeshesAABBTree< 3 >& trees ) const
    {
        std::vector< Pillar > result;
        result.reserve( top_surface->nb_vertices() );
        for( index_t vertex = 0; vertex < top_surface->nb_vertices(); vertex++ )
        {
            const auto found = pillars.find( vertex );
            result.push_back( found != pillars.end()
                                  ? found->second
                                  : define_pillar( vertex, trees, top_z, bottom_z ) );
        }
        return result;
    }

    void PillarStructuralModelBuilder::Impl::check_pillar_slices(
        absl::Span< const Pillar > ) const
    {
    }

    void PillarStructuralModelBuilder::Impl::reset_model_meshes() {}
} // namespace brevane
