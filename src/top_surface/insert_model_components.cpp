#include "builder/pillar_structural_model_builder_impl.h"

#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_inserter.h>
#include <halven/background/background_surface_modifier.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <pillar/top_surface_plan_view.h>

namespace brevane
{
    void PillarStructuralModelBuilder::Impl::insert_model_components()
    {
        internal::insert_model_components(
            { model, top_surfaces, bottom_surfaces }, *top_surface,
            background_surface );
    }

    void internal::insert_model_components( const TopSurfaceContext& context,
        TriangulatedSurface< 2 >& top_surface,
        BackgroundSurface& background_surface )
    {
        auto surface_builder =
            TriangulatedSurfaceBuilder< 2 >::create( top_surface );
        BackgroundSurfaceBuilder background_builder{ background_surface };
        BackgroundSurfaceModifier modifier{ background_surface,
            background_builder, *surface_builder };
        {
            BackgroundSurfaceInserter inserter{ { background_surface, modifier },
                background_builder };
            insert_model_corners( context, inserter );
            insert_model_lines( context, inserter );
        }
        modifier.clean();
    }

    void internal::insert_model_corners(
        const TopSurfaceContext& context, BackgroundSurfaceInserter& inserter )
    {
        for( const auto& corner : context.model.corners() )
        {
            auto points = PointSet< 2 >::create();
            auto builder = PointSetBuilder< 2 >::create( *points );
            const auto& mesh = corner.mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                builder->create_point( mesh.point( vertex ).project_point( 2 ) );
            }
            inserter.insert_point_set( *points, corner.id() );
        }
    }

    void internal::insert_model_lines(
        const TopSurfaceContext& context, BackgroundSurfaceInserter& inserter )
    {
        // Lines in model order (a fixed order), each as disjoint projected
        // segments.
        for( const auto& line : context.model.lines() )
        {
            if( is_lateral_boundary_line( context, line ) )
            {
                continue;
            }
            auto curve = EdgedCurve< 2 >::create();
            auto builder = EdgedCurveBuilder< 2 >::create( *curve );
            const auto& mesh = line.mesh();
            for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
            {
                const auto& ends = mesh.edge_vertices( edge );
                const auto first = builder->create_point(
                    mesh.point( ends[0] ).project_point( 2 ) );
                const auto second = builder->create_point(
                    mesh.point( ends[1] ).project_point( 2 ) );
                builder->create_edge( first, second );
            }
            inserter.insert_curve( *curve, line.id() );
        }
    }
} // namespace brevane
