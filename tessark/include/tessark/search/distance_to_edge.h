#pragma once

#include <tessark/geometry/distance.h>
#include <tessark/mesh/edged_curve.h>

namespace brevane
{
    // Distance from a point to an edge of a curve: the distance action of
    // AABBTree::closest_element_box on the tree of create_aabb_tree( curve ).
    // Keeps a reference to the curve, which must outlive it.
    template < index_t D >
    class DistanceToEdge
    {
    public:
        explicit DistanceToEdge( const EdgedCurve< D >& mesh ) : mesh_( mesh )
        {
        }

        [[nodiscard]] double operator()(
            const Point< D >& query, index_t edge ) const
        {
            return point_segment_distance( query, mesh_.segment( edge ) );
        }

    private:
        const EdgedCurve< D >& mesh_;
    };
} // namespace brevane
