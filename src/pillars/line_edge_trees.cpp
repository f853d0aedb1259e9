#include "pillars/line_edge_trees.h"

#include <limits>
#include <tuple>

#include <tessark/geometry/distance.h>
#include <tessark/search/mesh_aabb.h>

namespace brevane::internal
{
    LineEdgeTrees create_line_edge_trees( const BRep& model )
    {
        LineEdgeTrees trees;
        for( const auto& line : model.lines() )
        {
            trees.emplace( line.id(), create_aabb_tree( line.mesh() ) );
        }
        return trees;
    }

    std::optional< index_t > line_edge_along_pillar( const BRep& model,
        const LineEdgeTrees& trees, const uuid& line, const Segment3D& pillar )
    {
        const auto tree = trees.find( line );
        if( tree == trees.end() )
        {
            return std::nullopt;
        }
        const auto& mesh = model.line( line ).mesh();
        const InfiniteLine3D vertical{ Vector3D{ { 0, 0, -1 } },
            pillar.vertices()[0] };
        std::tuple< double, index_t > nearest{
            std::numeric_limits< double >::max(), NO_ID
        };
        const auto visit = [&]( index_t edge )
        {
            const auto distance =
                std::get< 0 >( segment_line_distance( mesh.segment( edge ), vertical ) );
            nearest = std::min( nearest, std::tuple{ distance, edge } );
        };
        tree->second.compute_segment_element_bbox_intersections( pillar, visit );
        if( std::get< 1 >( nearest ) == NO_ID || std::get< 0 >( nearest ) > 1e-6 )
        {
            return std::nullopt;
        }
        return std::get< 1 >( nearest );
    }
} // namespace brevane::internal
