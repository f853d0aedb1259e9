#include <tessark/search/mesh_aabb.h>

#include <tbb/parallel_for.h>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/surface_mesh.h>

namespace
{
    // The box of every element, computed in parallel chunks: each box only
    // depends on its element, so the result does not depend on scheduling.
    template < brevane::index_t D, typename ElementBox >
    std::vector< brevane::BoundingBox< D > > element_boxes(
        brevane::index_t nb_elements, const ElementBox& element_box )
    {
        std::vector< brevane::BoundingBox< D > > boxes( nb_elements );
        tbb::parallel_for(
            tbb::blocked_range< brevane::index_t >{ 0, nb_elements, 4096 },
            [&boxes, &element_box](
                const tbb::blocked_range< brevane::index_t >& range )
            {
                for( auto element = range.begin(); element < range.end();
                     element++ )
                {
                    boxes[element] = element_box( element );
                }
            } );
        return boxes;
    }
} // namespace

namespace brevane
{
    template < index_t D >
    AABBTree< D > create_aabb_tree( const EdgedCurve< D >& mesh )
    {
        return AABBTree< D >{ element_boxes< D >( mesh.nb_edges(),
            [&mesh]( index_t edge )
            {
                return mesh.segment( edge ).bounding_box();
            } ) };
    }

    template < index_t D >
    AABBTree< D > create_aabb_tree( const SurfaceMesh< D >& mesh )
    {
        return AABBTree< D >{ element_boxes< D >( mesh.nb_polygons(),
            [&mesh]( index_t polygon )
            {
                BoundingBox< D > box;
                for( const auto vertex : mesh.polygon_vertices( polygon ) )
                {
                    box.add_point( mesh.point( vertex ) );
                }
                return box;
            } ) };
    }

    template < index_t D >
    AABBTree< D > create_aabb_tree( const PointSet< D >& mesh )
    {
        return AABBTree< D >{ element_boxes< D >( mesh.nb_vertices(),
            [&mesh]( index_t vertex )
            {
                BoundingBox< D > box;
                box.add_point( mesh.point( vertex ) );
                return box;
            } ) };
    }

    template AABBTree< 2 > create_aabb_tree( const EdgedCurve< 2 >& );
    template AABBTree< 3 > create_aabb_tree( const EdgedCurve< 3 >& );
    template AABBTree< 2 > create_aabb_tree( const SurfaceMesh< 2 >& );
    template AABBTree< 3 > create_aabb_tree( const SurfaceMesh< 3 >& );
    template AABBTree< 2 > create_aabb_tree( const PointSet< 2 >& );
    template AABBTree< 3 > create_aabb_tree( const PointSet< 3 >& );
} // namespace brevane
