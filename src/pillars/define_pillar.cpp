#include "builder/pillar_structural_model_builder_impl.h"

// The pillar of one plan-view vertex. Filled in by the pillar stage; until
// then a pillar stands on its vertex with no intersection.
namespace brevane
{
    Pillar PillarStructuralModelBuilder::Impl::define_pillar( index_t vertex,
        const ModelMeshesAABBTree< 3 >&,
        double top_z,
        double ) const
    {
        const auto& point = top_surface->point( vertex );
        return Pillar{ vertex,
            Point3D{ { point.value( 0 ), point.value( 1 ), top_z } }, {}, {} };
    }
} // namespace brevane
