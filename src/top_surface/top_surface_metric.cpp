#include "builder/pillar_structural_model_builder_impl.h"

#include <algorithm>
#include <limits>

namespace brevane
{
    internal::Metric PillarStructuralModelBuilder::Impl::create_top_surface_metric(
        const SurfaceMesh< 2 >& surface ) const
    {
        return internal::create_top_surface_metric( surface );
    }

    internal::Metric internal::create_top_surface_metric(
        const SurfaceMesh< 2 >& surface )
    {
        const auto& edges = surface.edges();
        TESSARK_EXCEPTION( edges.nb_edges() > 0,
            "[PillarStructuralModelBuilder] The plan view of the top surfaces "
            "has no edge: no size field can be made for it" );
        auto shortest = std::numeric_limits< double >::max();
        double total{ 0 };
        for( index_t edge = 0; edge < edges.nb_edges(); edge++ )
        {
            const auto& ends = edges.edge_vertices( edge );
            const auto length =
                Segment2D{ surface.point( ends[0] ), surface.point( ends[1] ) }
                    .length();
            shortest = std::min( shortest, length );
            total += length;
        }
        const auto mean = total / edges.nb_edges();
        Metric metric{
            build_grid_from_bbox_target_length_and_maximum_cell_number(
                surface.bounding_box(), std::min( mean, shortest ), 10000000 ),
            mean
        };
        for( index_t edge = 0; edge < edges.nb_edges(); edge++ )
        {
            const auto& ends = edges.edge_vertices( edge );
            const Segment2D segment{ surface.point( ends[0] ),
                surface.point( ends[1] ) };
            metric.grid_metric.paint_segment( segment, segment.length(), 0 );
        }
        metric.grid_metric.optimize( 1.2, 0 );
        return metric;
    }
} // namespace brevane
