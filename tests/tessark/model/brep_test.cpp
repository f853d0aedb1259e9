#include <gtest/gtest.h>

#include <typeinfo>

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // Two triangles sharing the edge (0, 0, 0)-(1, 0, 0), each its own
        // surface, the shared edge a line ended by two corners.
        struct TwoSurfaces
        {
            TwoSurfaces()
            {
                StructuralModelBuilder builder{ model };
                for( auto& id : surfaces )
                {
                    id = builder.add_surface();
                }
                line = builder.add_line();
                corners = { builder.add_corner(), builder.add_corner() };
                horizon = builder.add_horizon();
                boundary = builder.add_model_boundary();

                const std::array< Point3D, 2 > apex{ Point3D{ { 0, 1, 0 } },
                    Point3D{ { 0, -1, 1 } } };
                for( index_t s = 0; s < 2; s++ )
                {
                    auto mesh = builder.surface_mesh_builder<
                        TriangulatedSurfaceBuilder< 3 > >( surfaces[s] );
                    mesh->create_point( Point3D{ { 0, 0, 0 } } );
                    mesh->create_point( Point3D{ { 1, 0, 0 } } );
                    mesh->create_point( apex[s] );
                    mesh->create_triangle( { 0, 1, 2 } );
                    mesh->compute_polygon_adjacencies();
                }
                auto curve = builder.line_mesh_builder( line );
                curve->create_point( Point3D{ { 0, 0, 0 } } );
                curve->create_point( Point3D{ { 1, 0, 0 } } );
                curve->create_edge( 0, 1 );
                for( index_t c = 0; c < 2; c++ )
                {
                    builder.corner_mesh_builder( corners[c] )
                        ->create_point(
                            Point3D{ { static_cast< double >( c ), 0, 0 } } );
                }

                for( const auto& corner : corners )
                {
                    builder.add_corner_line_boundary_relationship(
                        model.corner( corner ), model.line( line ) );
                }
                for( const auto& surface : surfaces )
                {
                    builder.add_line_surface_boundary_relationship(
                        model.line( line ), model.surface( surface ) );
                }
                builder.add_surface_in_horizon(
                    model.surface( surfaces[0] ), model.horizon( horizon ) );
                builder.add_surface_in_model_boundary(
                    model.surface( surfaces[1] ),
                    model.model_boundary( boundary ) );

                // Unique vertices: the two shared points, then each apex.
                builder.create_unique_vertices( 4 );
                for( index_t s = 0; s < 2; s++ )
                {
                    const auto id = model.surface( surfaces[s] ).component_id();
                    builder.set_unique_vertex( { id, 0 }, 0 );
                    builder.set_unique_vertex( { id, 1 }, 1 );
                    builder.set_unique_vertex( { id, 2 }, 2 + s );
                }
                const auto line_id = model.line( line ).component_id();
                builder.set_unique_vertex( { line_id, 0 }, 0 );
                builder.set_unique_vertex( { line_id, 1 }, 1 );
                for( index_t c = 0; c < 2; c++ )
                {
                    builder.set_unique_vertex(
                        { model.corner( corners[c] ).component_id(), 0 }, c );
                }
            }

            StructuralModel model;
            std::array< uuid, 2 > surfaces;
            uuid line;
            std::array< uuid, 2 > corners;
            uuid horizon;
            uuid boundary;
        };
    } // namespace

    TEST( BRep, components_are_found_by_id_in_insertion_order )
    {
        TwoSurfaces fixture;
        const auto& model = fixture.model;
        EXPECT_EQ( model.nb_surfaces(), 2u );
        std::vector< uuid > order;
        for( const auto& surface : model.surfaces() )
        {
            order.push_back( surface.id() );
            EXPECT_EQ( surface.component_id().type().get(), "Surface" );
        }
        EXPECT_EQ( order, ( std::vector< uuid >{ fixture.surfaces.begin(),
                              fixture.surfaces.end() } ) );
        EXPECT_EQ( model.line( fixture.line ).component_id().type().get(),
            "Line" );
        EXPECT_EQ( model.corner( fixture.corners[0] ).mesh().nb_vertices(), 1u );

        const uuid missing;
        try
        {
            (void) model.surface( missing );
            FAIL();
        }
        catch( const TessarkException& error )
        {
            EXPECT_NE( std::string{ error.what() }.find( missing.string() ),
                std::string::npos );
        }
        EXPECT_FALSE( model.has_line( missing ) );
    }

    TEST( BRep, relations_collections_and_queries )
    {
        TwoSurfaces fixture;
        const auto& model = fixture.model;
        EXPECT_EQ( test::ids_of( model.incidences( fixture.line ) ),
            ( std::vector< uuid >{
                fixture.surfaces[0], fixture.surfaces[1] } ) );
        EXPECT_EQ( test::ids_of( model.boundaries( fixture.line ) ),
            ( std::vector< uuid >{ fixture.corners[0], fixture.corners[1] } ) );
        EXPECT_EQ( model.nb_embedding_surfaces( fixture.line ), 0u );
        const auto collections = model.collections( fixture.surfaces[1] );
        ASSERT_EQ( collections.size(), 1u );
        EXPECT_EQ( collections[0].type().get(), "ModelBoundary" );
        EXPECT_EQ( test::ids_of( model.horizon_items( model.horizon( fixture.horizon ) ) ),
            ( std::vector< uuid >{ fixture.surfaces[0] } ) );
        EXPECT_EQ( model.nb_horizons(), 1u );
        EXPECT_FALSE( model.is_closed( model.line( fixture.line ) ) );

        const auto box = model.bounding_box();
        EXPECT_EQ( box.min(), ( Point3D{ { 0, -1, 0 } } ) );
        EXPECT_EQ( box.max(), ( Point3D{ { 1, 1, 1 } } ) );
    }

    TEST( BRep, removal_drops_relations_memberships_and_bindings )
    {
        TwoSurfaces fixture;
        auto& model = fixture.model;
        StructuralModelBuilder builder{ model };
        const auto surface_id = model.surface( fixture.surfaces[0] ).component_id();
        builder.remove_surface( model.surface( fixture.surfaces[0] ) );

        EXPECT_FALSE( model.has_surface( fixture.surfaces[0] ) );
        EXPECT_EQ( model.nb_surfaces(), 1u );
        EXPECT_EQ( test::ids_of( model.incidences( fixture.line ) ),
            ( std::vector< uuid >{ fixture.surfaces[1] } ) );
        EXPECT_EQ( model.nb_items( fixture.horizon ), 0u );
        EXPECT_EQ( model.unique_vertex( { surface_id, 0 } ), NO_ID );
        EXPECT_EQ( model.component_mesh_vertices( 2 ).size(), 0u );
        EXPECT_EQ( model.component_mesh_vertices( 0 ).size(), 3u );

        builder.remove_line( model.line( fixture.line ) );
        builder.remove_corner( model.corner( fixture.corners[0] ) );
        EXPECT_EQ( model.nb_lines(), 0u );
        EXPECT_EQ( model.nb_corners(), 1u );
        EXPECT_EQ( model.component_mesh_vertices( 0 ).size(), 1u );
        const auto old2new = builder.delete_isolated_vertices();
        EXPECT_EQ( old2new, ( std::vector< index_t >{ 0, 1, NO_ID, 2 } ) );
        EXPECT_EQ( model.nb_unique_vertices(), 3u );
    }

    TEST( BRep, names_mesh_kinds_and_mesh_updates )
    {
        TwoSurfaces fixture;
        auto& model = fixture.model;
        StructuralModelBuilder builder{ model };
        builder.set_name( fixture.surfaces[0], "top" );
        builder.set_name( fixture.horizon, "h1" );
        EXPECT_EQ( model.surface( fixture.surfaces[0] ).name(), "top" );
        EXPECT_EQ( model.horizon( fixture.horizon ).name(), "h1" );
        EXPECT_THROW( builder.set_name( uuid{}, "nothing" ), TessarkException );

        const auto& surface = model.surface( fixture.surfaces[1] );
        EXPECT_NO_THROW(
            (void) surface.get_mesh< TriangulatedSurface< 3 > >() );
        builder.update_surface_mesh( surface, PolygonalSurface< 3 >::create() );
        EXPECT_THROW( (void) surface.get_mesh< TriangulatedSurface< 3 > >(),
            std::bad_cast );
        EXPECT_EQ( surface.mesh().nb_vertices(), 0u );
        EXPECT_EQ( model.unique_vertex( { surface.component_id(), 0 } ), NO_ID );
        try
        {
            (void) builder.surface_mesh_builder<
                TriangulatedSurfaceBuilder< 3 > >( surface.id() );
            FAIL();
        }
        catch( const TessarkException& error )
        {
            EXPECT_EQ( std::string{ error.what() },
                std::string{ "Cannot create mesh builder with key: " }
                    + std::string{ surface.mesh().impl_name() } );
        }
    }
} // namespace brevane
