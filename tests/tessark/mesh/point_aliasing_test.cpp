#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane
{
    namespace
    {
        // Creates many points, each a copy of one of the mesh's own points,
        // so that the point storage grows while the argument refers into it.
        template < typename Mesh, typename Builder >
        void copy_own_points()
        {
            auto mesh = Mesh::create();
            auto builder = Builder::create( *mesh );
            builder->create_point( Point3D{ { 1, 2, 3 } } );
            for( index_t copy = 0; copy < 1000; copy++ )
            {
                builder->create_point( mesh->point( copy / 2 ) );
            }
            for( index_t vertex = 0; vertex < mesh->nb_vertices(); vertex++ )
            {
                ASSERT_EQ( mesh->point( vertex ), ( Point3D{ { 1, 2, 3 } } ) )
                    << vertex;
            }
        }
    } // namespace

    TEST( MeshBuilders, a_point_may_be_created_from_one_of_the_mesh_points )
    {
        copy_own_points< PointSet< 3 >, PointSetBuilder< 3 > >();
        copy_own_points< EdgedCurve< 3 >, EdgedCurveBuilder< 3 > >();
        copy_own_points< TriangulatedSurface< 3 >,
            TriangulatedSurfaceBuilder< 3 > >();
        copy_own_points< HybridSolid< 3 >, HybridSolidBuilder< 3 > >();
    }
} // namespace brevane
