#include "builder/pillar_structural_model_builder_impl.h"

#include <tessark/basic/logger.h>

#include <halven/conversion/model_builder_from_unique_vertices.h>

namespace brevane
{
    PillarStructuralModelBuilderResult
        PillarStructuralModelBuilder::Impl::run_driver(
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
        const auto groups = compute_surface_groups();
        surface_groups_order = find_surface_groups_order( trees, groups, bottom_z );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Defining pillars started" );
        PillarMap pillars;
        for( index_t vertex = 0; vertex < top_surface->nb_vertices(); vertex++ )
        {
            if( needs_pillar_before_decimation( vertex ) )
            {
                pillars.emplace(
                    vertex, define_pillar( vertex, trees, top_z, bottom_z ) );
            }
        }

        Logger::trace( "[PillarStructuralModelBuilder]: Decimating top surface" );
        add_border_macro_edges( pillars );
        pillars = decimate_top_surface( pillars, metric );
        const auto pillar_list =
            collect_pillars( pillars, top_z, bottom_z, trees );
        check_pillar_slices( pillar_list );
        assign_surface_ids();
        reset_model_meshes();

        Logger::trace(
            "[PillarStructuralModelBuilder]: Building each horizon surface" );
        auto slice_collection_order = build_horizon_surfaces( pillar_list );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Creating unique vertices" );
        create_unique_vertices( pillar_list );

        Logger::trace(
            "[PillarStructuralModelBuilder]: Building model boundaries" );
        build_model_boundaries( pillar_list );
        remove_lines_and_corners();
        link_pillar_vertices( pillar_list );

        Logger::trace( "[PillarStructuralModelBuilder]: Updating model" );
        ModelBuilderFromUniqueVertices< BRep >{ model, { false } }.update_model();

        return { std::move( slice_collection_order ), unique_vertex_below,
            unique_vertex_above };
    }

    bool PillarStructuralModelBuilder::Impl::needs_pillar_before_decimation(
        index_t vertex ) const
    {
        for( const auto& macro_edge :
            background_surface.incident_macro_edges( vertex ) )
        {
            if( !model.has_line( macro_edge.mesh_id ) )
            {
                continue;
            }
            for( const auto& incidence : model.incidences( macro_edge.mesh_id ) )
            {
                if( std::find( top_surfaces.begin(), top_surfaces.end(),
                        incidence.id() )
                    != top_surfaces.end() )
                {
                    return true;
                }
            }
        }
        return top_surface->is_vertex_on_border( vertex );
    }
} // namespace brevane
