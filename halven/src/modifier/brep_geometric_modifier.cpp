#include <halven/modifier/brep_geometric_modifier.h>

namespace brevane
{
    BRepGeometricModifier::BRepGeometricModifier(
        const BRep& model, BRepBuilder& builder )
        : model_( model ), builder_( builder )
    {
    }

    void BRepGeometricModifier::move_point(
        index_t unique_vertex, const Point3D& point )
    {
        for( const auto& vertex : model_.component_mesh_vertices( unique_vertex ) )
        {
            const auto& id = vertex.component_id.id();
            const auto& type = vertex.component_id.type();
            if( type == component_types::corner() )
            {
                builder_.corner_mesh_builder( id )->set_point(
                    vertex.vertex, point );
            }
            else if( type == component_types::line() )
            {
                builder_.line_mesh_builder( id )->set_point( vertex.vertex, point );
            }
            else if( type == component_types::surface() )
            {
                builder_.surface_mesh_builder( id )->set_point(
                    vertex.vertex, point );
            }
            else if( type == component_types::block() )
            {
                builder_.block_mesh_builder( id )->set_point(
                    vertex.vertex, point );
            }
        }
    }
} // namespace brevane
