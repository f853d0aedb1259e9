#include <tessark/mesh/polyhedron_volume.h>

#include <tessark/geometry/vector.h>

namespace brevane
{
    namespace
    {
        Point3D centroid(
            const SolidMesh< 3 >& mesh, absl::Span< const index_t > vertices )
        {
            std::array< double, 3 > sum{ 0, 0, 0 };
            for( const auto vertex : vertices )
            {
                const auto& point = mesh.point( vertex );
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    sum[axis] += point.value( axis );
                }
            }
            for( auto& value : sum )
            {
                value /= static_cast< double >( vertices.size() );
            }
            return Point3D{ sum };
        }

        // Six times the volume of the tetrahedron (apex, a, b, c): positive
        // when a, b, c turn counter-clockwise seen from outside, that is
        // from the side away from the apex.
        double tetrahedron_volume6( const Point3D& apex, const Point3D& a,
            const Point3D& b, const Point3D& c )
        {
            const Vector3D to_a{ apex, a };
            const Vector3D to_b{ apex, b };
            const Vector3D to_c{ apex, c };
            return to_a.dot( to_b.cross( to_c ) );
        }
    } // namespace

    double polyhedron_volume( const SolidMesh< 3 >& mesh, index_t polyhedron )
    {
        const auto vertices = mesh.polyhedron_vertices( polyhedron );
        const auto center = centroid( mesh, vertices );
        double volume6{ 0 };
        for( local_index_t facet = 0;
             facet < mesh.nb_polyhedron_facets( polyhedron ); facet++ )
        {
            const auto facet_vertices =
                mesh.polyhedron_facet_vertices( { polyhedron, facet } );
            if( facet_vertices.size() == 3 )
            {
                volume6 += tetrahedron_volume6( center,
                    mesh.point( facet_vertices[0] ),
                    mesh.point( facet_vertices[1] ),
                    mesh.point( facet_vertices[2] ) );
                continue;
            }
            const auto facet_center = centroid( mesh, facet_vertices );
            const auto nb = facet_vertices.size();
            for( std::size_t v = 0; v < nb; v++ )
            {
                volume6 += tetrahedron_volume6( center,
                    mesh.point( facet_vertices[v] ),
                    mesh.point( facet_vertices[( v + 1 ) % nb] ),
                    facet_center );
            }
        }
        return volume6 / 6.;
    }
} // namespace brevane
