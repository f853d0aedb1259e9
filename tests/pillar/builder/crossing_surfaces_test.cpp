#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/modifier/brep_geometric_modifier.h>

#include <pillar/pillar_structural_model_builder.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

namespace brevane
{
    // The lower horizon pushed up through the upper one in the middle of the
    // box, its border left where it was: the inspection has nothing to say,
    // and the build names both surfaces before it writes anything.
    TEST( CrossingSurfaces, build_names_them_and_leaves_the_model )
    {
        auto parameters = small_sample_parameters( 2, 0 );
        parameters.topography.hills_amplitude = 0;
        auto sample = build_sample_model( parameters );
        auto& model = sample.model;
        const auto& upper = model.surface( sample.horizons[0].items.front() );
        const auto& lower = model.surface( sample.horizons[1].items.front() );
        const auto upper_z = upper.mesh().point( 0 ).value( 2 );
        const auto& box = parameters.box;
        // 1 in the middle of the box, 0 on its sides.
        const auto bump = [&box]( const Point3D& point )
        {
            return std::pow( std::sin( M_PI * point.value( 0 ) / box.length_x ), 2 )
                   * std::pow(
                       std::sin( M_PI * point.value( 1 ) / box.length_y ), 2 );
        };
        StructuralModelBuilder builder{ model };
        BRepGeometricModifier modifier{ model, builder };
        const auto& mesh = lower.mesh();
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            const auto point = mesh.point( vertex );
            modifier.move_point(
                model.unique_vertex( { lower.component_id(), vertex } ),
                Point3D{ { point.value( 0 ), point.value( 1 ),
                    point.value( 2 )
                        + bump( point ) * 2 * ( upper_z - point.value( 2 ) ) } } );
        }
        const auto nb_lines = model.nb_lines();
        const auto nb_polygons = mesh.nb_polygons();

        PillarStructuralModelBuilder pillar_builder{ model,
            sample.top_surfaces, sample.bottom_surfaces };
        ASSERT_EQ( pillar_builder.is_model_construction_possible().string(),
            PillarStructuralModelInspectionResult{}.string() );
        EXPECT_THAT(
            [&pillar_builder]
            {
                static_cast< void >( pillar_builder.build( {} ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( "Surfaces cross at" ),
                testing::HasSubstr( upper.id().string() ),
                testing::HasSubstr( lower.id().string() ) ) ) );
        EXPECT_EQ( model.nb_lines(), nb_lines );
        EXPECT_EQ( model.surface( lower.id() ).mesh().nb_polygons(), nb_polygons );
    }
} // namespace brevane
