#include <gtest/gtest.h>

#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_description.h"
#include "support/model_fixtures.h"

namespace brevane
{

    TEST( StructuralModelClone, CopiesEverythingAndStandsAlone )
    {
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        StructuralModelBuilder builder{ model };
        const auto& horizon = model.horizon( builder.add_horizon() );
        builder.set_name( horizon.id(), "horizon" );
        const auto& fault = model.fault( builder.add_fault() );
        const auto& boundary =
            model.model_boundary( builder.add_model_boundary() );
        const auto& surfaces = tetrahedron.surfaces;
        builder.add_surface_in_horizon( model.surface( surfaces[0] ), horizon );
        builder.add_surface_in_fault( model.surface( surfaces[1] ), fault );
        builder.add_surface_in_model_boundary(
            model.surface( surfaces[2] ), boundary );
        builder.add_surface_in_model_boundary(
            model.surface( surfaces[3] ), boundary );
        builder.set_name( surfaces[2], "side" );
        // A removed component leaves an empty slot: the copy keeps the order.
        builder.remove_corner( model.corner( tetrahedron.corners[1] ) );

        const auto before = test::describe_model( model );
        auto copy = model.clone();
        EXPECT_EQ( test::describe_model( copy ), before );

        // The copy is a model of its own.
        StructuralModelBuilder copy_builder{ copy };
        copy_builder.update_surface_mesh(
            copy.surface( surfaces[0] ), TriangulatedSurface< 3 >::create() );
        copy_builder.remove_line( copy.line( tetrahedron.lines[0] ) );
        copy_builder.add_surface_collection();
        EXPECT_EQ( test::describe_model( model ), before );
        EXPECT_NE( test::describe_model( copy ), before );

        // Moving the copy back over the model gives the copy's content.
        const auto changed = test::describe_model( copy );
        model = std::move( copy );
        EXPECT_EQ( test::describe_model( model ), changed );
    }
} // namespace brevane
