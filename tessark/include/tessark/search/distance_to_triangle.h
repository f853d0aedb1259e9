#pragma once

#include <tuple>

#include <tessark/geometry/distance.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    // Distance from a point to a triangle of a surface: the distance action
    // of AABBTree::closest_element_box on the tree of
    // create_aabb_tree( surface ). Keeps a reference to the surface, which
    // must outlive it.
    class DistanceToTriangle
    {
    public:
        explicit DistanceToTriangle( const TriangulatedSurface< 3 >& mesh )
            : mesh_( mesh )
        {
        }

        [[nodiscard]] double operator()(
            const Point3D& query, index_t triangle ) const
        {
            return std::get< 0 >(
                point_triangle_distance( query, mesh_.triangle( triangle ) ) );
        }

    private:
        const TriangulatedSurface< 3 >& mesh_;
    };
} // namespace brevane
