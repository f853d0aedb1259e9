#include "assembly/rebuilt_orientation.h"

namespace brevane::internal
{
    namespace
    {
        // The vertical part of twice the mesh's vector area: the sum over its
        // polygons of the cross products around their first vertex.
        double vertical_area( const SurfaceMesh< 3 >& mesh )
        {
            double area{ 0 };
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto vertices = mesh.polygon_vertices( polygon );
                const auto& origin = mesh.point( vertices[0] );
                for( std::size_t corner = 1; corner + 1 < vertices.size();
                     corner++ )
                {
                    const auto& first = mesh.point( vertices[corner] );
                    const auto& second = mesh.point( vertices[corner + 1] );
                    area += ( first.value( 0 ) - origin.value( 0 ) )
                                * ( second.value( 1 ) - origin.value( 1 ) )
                            - ( first.value( 1 ) - origin.value( 1 ) )
                                  * ( second.value( 0 ) - origin.value( 0 ) );
                }
            }
            return area;
        }
    } // namespace

    absl::flat_hash_set< uuid > surfaces_rebuilt_facing_down(
        const StructuralModel& model, absl::Span< const uuid > bottom_surfaces )
    {
        absl::flat_hash_set< uuid > facing_down{ bottom_surfaces.begin(),
            bottom_surfaces.end() };
        for( const auto& fault : model.faults() )
        {
            for( const auto& item : model.fault_items( fault ) )
            {
                if( vertical_area( model.surface( item.id() ).mesh() ) < 0 )
                {
                    facing_down.insert( item.id() );
                }
            }
        }
        return facing_down;
    }
} // namespace brevane::internal
