#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/model_snapshot.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_description.h"
#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // The tetrahedron with a named horizon, a fault, a model boundary and
        // a surface collection, the way a build finds a model.
        struct CollectedTetrahedron
        {
            CollectedTetrahedron()
            {
                StructuralModelBuilder builder{ model() };
                horizon = builder.add_horizon();
                builder.set_name( horizon, "horizon" );
                const auto fault = builder.add_fault();
                const auto boundary = builder.add_model_boundary();
                const auto& surfaces = tetrahedron.surfaces;
                builder.add_surface_in_horizon( model().surface( surfaces[0] ),
                    model().horizon( horizon ) );
                builder.add_surface_in_fault(
                    model().surface( surfaces[1] ), model().fault( fault ) );
                builder.add_surface_in_model_boundary(
                    model().surface( surfaces[2] ),
                    model().model_boundary( boundary ) );
                builder.set_name( surfaces[2], "side" );
            }

            StructuralModel& model()
            {
                return tetrahedron.model;
            }

            test::Tetrahedron tetrahedron;
            uuid horizon;
        };

        // What a build does to a model after its snapshot: new surface
        // meshes, every corner and line replaced, collections and relations
        // added, a surface renamed and another removed.
        void rebuild_somehow( CollectedTetrahedron& input )
        {
            auto& model = input.model();
            const auto& surfaces = input.tetrahedron.surfaces;
            StructuralModelBuilder builder{ model };
            auto mesh = TriangulatedSurface< 3 >::create();
            {
                auto mesh_builder =
                    TriangulatedSurfaceBuilder< 3 >::create( *mesh );
                mesh_builder->create_point( Point3D{ { 0, 0, 0 } } );
                mesh_builder->create_point( Point3D{ { 1, 0, 0 } } );
                mesh_builder->create_point( Point3D{ { 0, 1, 0 } } );
                mesh_builder->create_triangle( { 0, 1, 2 } );
            }
            builder.update_surface_mesh(
                model.surface( surfaces[0] ), std::move( mesh ) );
            test::remove_lines_and_corners( model );
            const auto& corner = builder.add_corner();
            const auto unique_vertex = builder.create_unique_vertex();
            builder.set_unique_vertex(
                { model.corner( corner ).component_id(), 0 }, unique_vertex );
            const auto& collection = builder.add_surface_collection();
            builder.add_surface_in_surface_collection(
                model.surface( surfaces[0] ),
                model.surface_collection( collection ) );
            builder.add_horizon();
            builder.add_surface();
            builder.set_name( surfaces[1], "renamed" );
            builder.set_name( input.horizon, "renamed horizon" );
            builder.remove_surface( model.surface( surfaces[3] ) );
        }
    } // namespace

    TEST( ModelSnapshot, TakesTheMeshesAndKeepsCornersAndLines )
    {
        CollectedTetrahedron input;
        auto& model = input.model();
        const auto& tetrahedron = input.tetrahedron;
        const auto corner_vertex = model.unique_vertex(
            { model.corner( tetrahedron.corners[2] ).component_id(), 0 } );
        const auto* corner = &model.corner( tetrahedron.corners[2] );
        const auto nb_unique_vertices = model.nb_unique_vertices();

        ModelSnapshot snapshot{ model };
        for( const auto& surface : model.surfaces() )
        {
            EXPECT_EQ( surface.mesh().nb_vertices(), 0 );
            EXPECT_EQ( surface.mesh().impl_name(),
                TriangulatedSurface< 3 >::create()->impl_name() );
        }
        // The corners are copies with the same unique vertices.
        EXPECT_NE( &model.corner( tetrahedron.corners[2] ), corner );
        EXPECT_EQ(
            model.unique_vertex(
                { model.corner( tetrahedron.corners[2] ).component_id(), 0 } ),
            corner_vertex );
        EXPECT_EQ( model.nb_unique_vertices(), nb_unique_vertices );
        EXPECT_EQ(
            model.unique_vertex(
                { model.surface( tetrahedron.surfaces[0] ).component_id(),
                    0 } ),
            NO_ID );
    }

    TEST( ModelSnapshot, RestorePutsBackTheSameObjectsAsTheyWere )
    {
        CollectedTetrahedron input;
        auto& model = input.model();
        const auto& tetrahedron = input.tetrahedron;
        const auto before = test::describe_model( model );
        const auto* surface = &model.surface( tetrahedron.surfaces[0] );
        const auto* surface_mesh = &surface->mesh();
        const auto* block = &model.block( tetrahedron.block );
        const auto* corner = &model.corner( tetrahedron.corners[0] );
        const auto* horizon = &model.horizon( input.horizon );

        ModelSnapshot snapshot{ model };
        rebuild_somehow( input );
        ASSERT_NE( test::describe_model( model ), before );
        snapshot.restore();

        EXPECT_EQ( test::describe_model( model ), before );
        EXPECT_EQ( &model.surface( tetrahedron.surfaces[0] ), surface );
        EXPECT_EQ(
            &model.surface( tetrahedron.surfaces[0] ).mesh(), surface_mesh );
        EXPECT_EQ( &model.block( tetrahedron.block ), block );
        EXPECT_EQ( &model.corner( tetrahedron.corners[0] ), corner );
        EXPECT_EQ( &model.horizon( input.horizon ), horizon );
        EXPECT_THROW( snapshot.restore(), TessarkException );
    }

    TEST( ModelSnapshot, DroppedWithoutRestoreKeepsTheChanges )
    {
        CollectedTetrahedron input;
        auto& model = input.model();
        {
            ModelSnapshot snapshot{ model };
            rebuild_somehow( input );
        }
        const auto after = test::describe_model( model );
        EXPECT_EQ( model.nb_corners(), 1 );
        EXPECT_EQ( model.nb_surfaces(), 4 );
        EXPECT_EQ(
            model.surface( input.tetrahedron.surfaces[0] ).mesh().nb_polygons(),
            1 );
        EXPECT_EQ( model.horizon( input.horizon ).name(), "renamed horizon" );
        EXPECT_EQ( test::describe_model( model ), after );
    }
} // namespace brevane
