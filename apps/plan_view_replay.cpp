#include "plan_view_replay.h"

#include <algorithm>
#include <vector>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/model_meshes_aabb_tree.h>

#include <pillar/metric.h>

#include <io/plan_view_svg.h>

#include "pillars/pillar_context.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/decimate_top_surface.h"
#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        void write_picture( const std::filesystem::path& path,
            const internal::BackgroundSurface& background,
            const PillarMap& pillars )
        {
            // Sorted, so that the picture does not depend on the map's
            // iteration order.
            std::vector< index_t > vertices;
            vertices.reserve( pillars.size() );
            for( const auto& entry : pillars )
            {
                vertices.push_back( entry.first );
            }
            std::sort( vertices.begin(), vertices.end() );
            try
            {
                write_plan_view_svg( path, background, vertices );
            }
            catch( const TessarkException& error )
            {
                throw UsageError{ "cannot write the picture ", path.string(),
                    ": ", error.what() };
            }
        }
    } // namespace

    PlanViewDecimation replay_plan_view_decimation(
        const internal::TopSurfaceContext& context,
        const PlanViewPictures& pictures )
    {
        const auto& model = context.model;
        auto view = internal::create_plan_view();
        internal::project_top_surfaces(
            context, *view.surface, view.background, *view.z_coordinate );
        // The size field comes from the top surfaces' own edges, before
        // the corners and lines cut them.
        const auto metric =
            internal::create_top_surface_metric( *view.surface );
        internal::insert_model_components(
            context, *view.surface, view.background );

        const auto trees = create_surface_meshes_aabb_trees( model );
        const auto box = model.bounding_box();
        const auto top_z = box.max().value( 2 ) + 1e-6;
        const auto bottom_z = box.min().value( 2 ) - 1.0;
        const auto order = internal::find_surface_groups_order(
            { model, context.top_surfaces, context.bottom_surfaces,
                *view.surface, *view.z_coordinate, trees },
            internal::compute_surface_groups( model ), bottom_z );
        const internal::PillarModelContext pillar_context{ model,
            context.top_surfaces, context.bottom_surfaces, trees,
            view.background, order };
        const auto pillars = internal::define_pillars_before_decimation(
            pillar_context, top_z, bottom_z );

        internal::add_border_macro_edges( view.background, pillars );
        PlanViewDecimation result;
        result.surface_groups_order = order;
        result.before = internal::plan_view_statistics( view.background );
        write_picture( pictures.before_decimation, view.background, pillars );
        const auto kept = internal::decimate_top_surface( pillar_context,
            { *view.surface, view.background }, pillars, metric );
        result.after = internal::plan_view_statistics( view.background );
        write_picture( pictures.after_decimation, view.background, kept );
        return result;
    }
} // namespace brevane::cli
