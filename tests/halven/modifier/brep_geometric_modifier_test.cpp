#include <gtest/gtest.h>

#include <halven/modifier/brep_geometric_modifier.h>
#include <tessark/basic/tessark_exception.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    TEST( BRepGeometricModifier, moves_every_component_vertex_of_a_unique_vertex )
    {
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        StructuralModelBuilder builder{ model };
        BRepGeometricModifier modifier{ model, builder };
        const Point3D target{ { 0.25, 1.5, -0.5 } };
        modifier.move_point( 2, target );

        // Point 2 is in one corner, three lines and three faces.
        index_t nb_moved{ 0 };
        for( const auto& vertex : model.component_mesh_vertices( 2 ) )
        {
            const auto& id = vertex.component_id.id();
            const auto& type = vertex.component_id.type();
            const auto& point =
                type == component_types::corner()
                    ? model.corner( id ).mesh().point( vertex.vertex )
                    : type == component_types::line()
                          ? model.line( id ).mesh().point( vertex.vertex )
                          : model.surface( id ).mesh().point( vertex.vertex );
            EXPECT_EQ( point, target ) << vertex.string();
            nb_moved++;
        }
        EXPECT_EQ( nb_moved, 7u );

        // Nothing else moved.
        for( index_t unique : { 0u, 1u, 3u } )
        {
            for( const auto& vertex : model.component_mesh_vertices( unique ) )
            {
                if( vertex.component_id.type() == component_types::surface() )
                {
                    EXPECT_EQ( model.surface( vertex.component_id.id() )
                                   .mesh()
                                   .point( vertex.vertex ),
                        tetrahedron.points[unique] );
                }
            }
        }
        EXPECT_THROW( modifier.move_point( 4, target ), TessarkException );
    }
} // namespace brevane
