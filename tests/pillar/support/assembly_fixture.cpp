#include "pillar/support/assembly_fixture.h"

#include <tessark/search/ray_tracing.h>

#include "assembly/rebuilt_orientation.h"
#include "pillars/surface_groups.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/model_mesh_reset.h"
#include "top_surface/pillar_update.h"

namespace brevane::test
{
    namespace
    {
        // The surfaces met by the vertical line through the barycentre of
        // each plan-view triangle, side walls excepted, in model order.
        void fill_surface_ids( const PillarStageFixture& stage,
            VariableAttribute< std::vector< uuid > >& surface_ids )
        {
            const auto& model = stage.sample.model;
            const auto& plan_view = *stage.plan.surface;
            const internal::TopSurfaceContext tags{ model,
                stage.sample.top_surfaces, stage.sample.bottom_surfaces };
            for( index_t triangle = 0; triangle < plan_view.nb_polygons();
                 triangle++ )
            {
                const auto center = plan_view.polygon_barycenter( triangle );
                const Segment3D column{
                    Point3D{ { center.value( 0 ), center.value( 1 ), stage.top_z } },
                    Point3D{ { center.value( 0 ), center.value( 1 ),
                        stage.bottom_z } }
                };
                std::vector< uuid > ids;
                for( const auto& surface : model.surfaces() )
                {
                    if( internal::is_model_boundary_surface( tags, surface )
                        && !internal::is_top_or_bottom_surface( tags, surface ) )
                    {
                        continue;
                    }
                    const auto& trees = stage.trees;
                    RayTracing3D tracer{ surface.mesh(), column.vertices()[0],
                        column };
                    trees.mesh_trees[trees.uuid_to_mesh_index.at( surface.id() )]
                        .compute_segment_element_bbox_intersections(
                            column, tracer );
                    if( !tracer.all_intersections().empty() )
                    {
                        ids.push_back( surface.id() );
                    }
                }
                surface_ids.set_value( triangle, std::move( ids ) );
            }
        }
    } // namespace

    AssemblyFixture::AssemblyFixture( SampleModel sample )
        : stage( std::move( sample ) )
    {
        const auto before_decimation = internal::define_pillars_before_decimation(
            stage.pillars(), stage.top_z, stage.bottom_z );
        internal::add_border_macro_edges( stage.plan.background, before_decimation );
        pillars = internal::collect_pillars(
            stage.pillars(), before_decimation, stage.top_z, stage.bottom_z );
        surface_ids = internal::find_or_create_surface_ids( *stage.plan.surface );
        fill_surface_ids( stage, *surface_ids );
        builder = std::make_unique< StructuralModelBuilder >( stage.sample.model );
        facing_down = internal::surfaces_rebuilt_facing_down(
            stage.sample.model, stage.sample.bottom_surfaces );
        internal::reset_model_meshes( { stage.sample.model,
                                          stage.sample.top_surfaces,
                                          stage.sample.bottom_surfaces },
            *builder );
    }

    internal::AssemblyContext AssemblyFixture::context()
    {
        return { stage.sample.model, *builder, stage.sample.top_surfaces,
            stage.sample.bottom_surfaces, stage.plan.background, *surface_ids,
            stage.order, pillars, facing_down };
    }
} // namespace brevane::test
