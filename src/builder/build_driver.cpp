#include "builder/pillar_structural_model_builder_impl.h"

#include <tessark/basic/logger.h>

#include "pillars/pillar_context.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"

namespace brevane
{
    PillarStructuralModelBuilderResult
        PillarStructuralModelBuilder::Impl::run_driver( const internal::Metric& )
    {
        Logger::trace(
            "[PillarStructuralModelBuilder]: Building final model started" );
        const auto trees = create_surface_meshes_aabb_trees( model );

        Logger::trace( "[PillarStructuralModelBuilder]: Finding surface groups "
                       "order started" );
        const auto box = model.bounding_box();
        const auto top_z = box.max().value( 2 ) + 1e-6;
        const auto bottom_z = box.min().value( 2 ) - 1.0;
        const auto groups = internal::compute_surface_groups( model );
        surface_groups_order = internal::find_surface_groups_order(
            { model, top_surfaces, bottom_surfaces, *top_surface,
                *z_coordinate_attribute, trees },
            groups, bottom_z );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Defining pillars started" );
        const internal::PillarModelContext pillar_context{ model, top_surfaces,
            bottom_surfaces, trees, background_surface, surface_groups_order };
        const auto pillars = internal::define_pillars_before_decimation(
            pillar_context, top_z, bottom_z );

        // Every stage from here on writes the model: until they are all
        // available, the build stops before the first of them, leaving the
        // caller's model as it was.
        throw TessarkException{ "[PillarStructuralModelBuilder] The build "
                                "stops before the stage \"Decimating top "
                                "surface\", which is not available yet; ",
            pillars.size(),
            " pillars were defined and the model was left unchanged" };
    }
} // namespace brevane
