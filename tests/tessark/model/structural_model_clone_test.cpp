#include <gtest/gtest.h>

#include <absl/strings/str_cat.h>

#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // Everything a copy must keep, as text.
        std::string describe( const StructuralModel& model )
        {
            std::string text;
            const auto add_relations = [&]( const uuid& id ) {
                for( const auto& related : model.boundaries( id ) )
                {
                    absl::StrAppend( &text, " boundary ", related.string() );
                }
                for( const auto& related : model.incidences( id ) )
                {
                    absl::StrAppend( &text, " incidence ", related.string() );
                }
                for( const auto& related : model.collections( id ) )
                {
                    absl::StrAppend( &text, " in ", related.string() );
                }
                text += "\n";
            };
            for( const auto& corner : model.corners() )
            {
                absl::StrAppend( &text, "corner ", corner.id().string(),
                    std::string{ corner.name() }, corner.mesh().point( 0 ).string() );
                add_relations( corner.id() );
            }
            for( const auto& line : model.lines() )
            {
                absl::StrAppend( &text, "line ", line.id().string(),
                    std::string{ line.name() }, line.mesh().nb_edges() );
                add_relations( line.id() );
            }
            for( const auto& surface : model.surfaces() )
            {
                absl::StrAppend( &text, "surface ", surface.id().string(),
                    std::string{ surface.name() },
                    std::string{ surface.mesh().impl_name() } );
                for( index_t vertex = 0; vertex < surface.mesh().nb_vertices();
                     vertex++ )
                {
                    absl::StrAppend( &text, surface.mesh().point( vertex ).string(),
                        model.unique_vertex( { surface.component_id(), vertex } ) );
                }
                add_relations( surface.id() );
            }
            for( const auto& block : model.blocks() )
            {
                absl::StrAppend( &text, "block ", block.id().string() );
                add_relations( block.id() );
            }
            for( const auto& horizon : model.horizons() )
            {
                absl::StrAppend( &text, "horizon ", horizon.id().string(),
                    std::string{ horizon.name() } );
                for( const auto& item : model.horizon_items( horizon ) )
                {
                    absl::StrAppend( &text, " ", item.string() );
                }
                text += "\n";
            }
            for( const auto& fault : model.faults() )
            {
                absl::StrAppend( &text, "fault ", fault.id().string() );
                for( const auto& item : model.fault_items( fault ) )
                {
                    absl::StrAppend( &text, " ", item.string() );
                }
                text += "\n";
            }
            for( const auto& boundary : model.model_boundaries() )
            {
                absl::StrAppend( &text, "boundary ", boundary.id().string(), "\n" );
            }
            absl::StrAppend( &text, "unique vertices ", model.nb_unique_vertices() );
            return text;
        }
    } // namespace

    TEST( StructuralModelClone, CopiesEverythingAndStandsAlone )
    {
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        StructuralModelBuilder builder{ model };
        const auto& horizon = model.horizon( builder.add_horizon() );
        builder.set_name( horizon.id(), "horizon" );
        const auto& fault = model.fault( builder.add_fault() );
        const auto& boundary = model.model_boundary( builder.add_model_boundary() );
        const auto& surfaces = tetrahedron.surfaces;
        builder.add_surface_in_horizon( model.surface( surfaces[0] ), horizon );
        builder.add_surface_in_fault( model.surface( surfaces[1] ), fault );
        builder.add_surface_in_model_boundary( model.surface( surfaces[2] ), boundary );
        builder.add_surface_in_model_boundary( model.surface( surfaces[3] ), boundary );
        builder.set_name( surfaces[2], "side" );
        // A removed component leaves an empty slot: the copy keeps the order.
        builder.remove_corner( model.corner( tetrahedron.corners[1] ) );

        const auto before = describe( model );
        auto copy = model.clone();
        EXPECT_EQ( describe( copy ), before );

        // The copy is a model of its own.
        StructuralModelBuilder copy_builder{ copy };
        copy_builder.update_surface_mesh(
            copy.surface( surfaces[0] ), TriangulatedSurface< 3 >::create() );
        copy_builder.remove_line( copy.line( tetrahedron.lines[0] ) );
        copy_builder.add_surface_collection();
        EXPECT_EQ( describe( model ), before );
        EXPECT_NE( describe( copy ), before );

        // Moving the copy back over the model gives the copy's content.
        const auto changed = describe( copy );
        model = std::move( copy );
        EXPECT_EQ( describe( model ), changed );
    }
} // namespace brevane
