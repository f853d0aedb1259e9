#include "builder/pillar_structural_model_builder_impl.h"

#include <algorithm>
#include <vector>

#include <tessark/basic/logger.h>
#include <tessark/model/model_snapshot.h>

#include <halven/conversion/model_builder_from_unique_vertices.h>

#include "assembly/block_cells.h"
#include "assembly/horizon_surfaces.h"
#include "assembly/model_boundaries.h"
#include "assembly/pillar_links.h"
#include "assembly/rebuilt_orientation.h"
#include "assembly/unique_vertices.h"
#include "pillars/pillar_context.h"
#include "pillars/pillar_order_check.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/decimate_top_surface.h"
#include "top_surface/model_mesh_reset.h"
#include "top_surface/pillar_update.h"
#include "top_surface/surface_ids.h"

namespace brevane
{
    namespace
    {
        void show_plan_view( const PlanViewObserver& observer,
            PlanViewStage stage, const internal::BackgroundSurface& background,
            const PillarMap& pillars )
        {
            if( !observer )
            {
                return;
            }
            std::vector< index_t > vertices;
            vertices.reserve( pillars.size() );
            for( const auto& entry : pillars )
            {
                vertices.push_back( entry.first );
            }
            std::sort( vertices.begin(), vertices.end() );
            observer( stage, background, vertices );
        }
    } // namespace

    std::vector< Pillar > PillarStructuralModelBuilder::Impl::define_pillars(
        const internal::Metric& metric )
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
        const auto line_trees = internal::create_line_edge_trees( model );
        const internal::PillarModelContext pillar_context{ model, top_surfaces,
            bottom_surfaces, trees, background_surface, surface_groups_order,
            &line_trees };
        auto pillars = internal::define_pillars_before_decimation(
            pillar_context, top_z, bottom_z );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Decimating top surface" );
        internal::add_border_macro_edges( background_surface, pillars );
        show_plan_view( plan_view_observer, PlanViewStage::before_decimation,
            background_surface, pillars );
        pillars = internal::decimate_top_surface( pillar_context,
            { *top_surface, background_surface }, pillars, metric );
        show_plan_view( plan_view_observer, PlanViewStage::after_decimation,
            background_surface, pillars );
        auto pillar_list = internal::collect_pillars(
            pillar_context, pillars, top_z, bottom_z );
        internal::check_pillar_slices( pillar_context, pillar_list );
        internal::check_pillars_go_down( model, pillar_list );
        return pillar_list;
    }

    PillarStructuralModelBuilderResult
    PillarStructuralModelBuilder::Impl::run_driver(
        const internal::Metric& metric,
        const PillarStructuralModelOptions& options )
    {
        // The search trees and the pillar map of the first stages are freed
        // before the model is rebuilt.
        const auto pillar_list = define_pillars( metric );
        const internal::TopSurfaceContext tags{ model, top_surfaces,
            bottom_surfaces };
        internal::assign_surface_ids(
            tags, background_surface, *surface_ids_attribute );

        const auto facing_down =
            internal::surfaces_rebuilt_facing_down( model, bottom_surfaces );

        // From here on the model is written: a failure puts back what the
        // snapshot took (the meshes about to be replaced, the corners and
        // lines, relations and unique vertices).
        ModelSnapshot snapshot{ model };
        try
        {
            internal::reset_model_meshes( tags, model_builder );
            auto slice_collection_order =
                rebuild_model( pillar_list, facing_down, options );
            return { std::move( slice_collection_order ), unique_vertex_below,
                unique_vertex_above };
        }
        catch( ... )
        {
            snapshot.restore();
            top_vertex_surface_vertices.clear();
            unique_vertex_below.clear();
            unique_vertex_above.clear();
            throw;
        }
    }

    std::vector< uuid > PillarStructuralModelBuilder::Impl::rebuild_model(
        absl::Span< const Pillar > pillars,
        const absl::flat_hash_set< uuid >& facing_down,
        const PillarStructuralModelOptions& options )
    {
        const internal::AssemblyContext context{ model, model_builder,
            top_surfaces, bottom_surfaces, background_surface,
            *surface_ids_attribute, surface_groups_order, pillars,
            facing_down };

        Logger::trace(
            "[PillarStructuralModelBuilder]: Building each horizon surface" );
        auto slice_collection_order = internal::build_horizon_surfaces(
            context, top_vertex_surface_vertices );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Creating unique vertices" );
        internal::create_unique_vertices(
            context, top_vertex_surface_vertices );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Building model boundaries" );
        internal::build_model_boundaries(
            context, top_vertex_surface_vertices );
        internal::remove_lines_and_corners( model, model_builder );
        auto links = internal::link_pillar_vertices(
            context, top_vertex_surface_vertices );
        unique_vertex_below = std::move( links.unique_vertex_below );
        unique_vertex_above = std::move( links.unique_vertex_above );

        Logger::trace( "[PillarStructuralModelBuilder]: Updating model" );
        static_cast< void >( ModelBuilderFromUniqueVertices< BRep >{
            model, { false } }.update_model() );

        if( options.add_block_mesh )
        {
            Logger::trace(
                "[PillarStructuralModelBuilder]: Building block meshes" );
            internal::build_block_cells(
                context, top_vertex_surface_vertices, slice_collection_order );
        }
        return slice_collection_order;
    }
} // namespace brevane
