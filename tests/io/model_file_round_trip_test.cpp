#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <iterator>
#include <map>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/varnholt_pillar_library.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include <io/model_comparison.h>
#include <io/model_file.h>

#include "model_file_fixtures.h"

namespace brevane
{
    namespace
    {
        std::vector< uuid > ids_of(
            const std::vector< ComponentID >& components )
        {
            std::vector< uuid > ids;
            for( const auto& component : components )
            {
                ids.push_back( component.id() );
            }
            return ids;
        }

        // The first surface with the given name.
        const Surface< 3 >& surface_named(
            const StructuralModel& model, std::string_view name )
        {
            for( const auto& surface : model.surfaces() )
            {
                if( surface.name() == name )
                {
                    return surface;
                }
            }
            throw std::runtime_error{ "no such surface" };
        }

        void expect_round_trip( const StructuralModel& model )
        {
            test::TemporaryFolder folder;
            const auto loaded = test::save_and_load( model, folder );
            EXPECT_THAT(
                model_differences( model, loaded ), ::testing::IsEmpty() );
        }
    } // namespace

    TEST( ModelFileRoundTrip, every_kind_model_comes_back_unchanged )
    {
        const auto model = test::every_kind_model();
        test::TemporaryFolder folder;
        const auto loaded = test::save_and_load( model, folder );
        EXPECT_THAT( model_differences( model, loaded ), ::testing::IsEmpty() );

        // A few checks that do not go through model_differences.
        const auto& triangles = surface_named( loaded, "triangles" );
        const auto& polygons = surface_named( loaded, "polygons" );
        EXPECT_EQ(
            triangles.mesh().impl_name(), "TessarkTriangulatedSurface3D" );
        EXPECT_EQ( polygons.mesh().impl_name(), "TessarkPolygonalSurface3D" );
        EXPECT_EQ( polygons.mesh().nb_polygon_vertices( 1 ), 5 );
        EXPECT_EQ( polygons.mesh().polygon_adjacent( { 0, 1 } ), 1u );
        EXPECT_EQ( ids_of( loaded.collections( triangles.id() ) ),
            ids_of( model.collections( triangles.id() ) ) );
        EXPECT_EQ( ids_of( loaded.collections( polygons.id() ) ),
            ids_of( model.collections( polygons.id() ) ) );
        EXPECT_NE( ids_of( loaded.collections( triangles.id() ) ),
            ids_of( loaded.collections( polygons.id() ) ) );
        const auto& point = triangles.mesh().point( 3 );
        EXPECT_TRUE( std::signbit( point.value( 0 ) ) );
        EXPECT_EQ( std::bit_cast< std::uint64_t >( point.value( 1 ) ),
            std::bit_cast< std::uint64_t >( 1.0 / 3.0 ) );
        EXPECT_EQ( point.value( 2 ), 1e-310 );
        ASSERT_EQ( loaded.component_mesh_vertices( 0 ).size(), 3u );
        EXPECT_EQ( loaded.component_mesh_vertices( 0 )[0].component_id.type(),
            component_types::line() );
        EXPECT_EQ( loaded.component_mesh_vertices( 4 ).size(), 0u );
        EXPECT_EQ( loaded.nb_unique_vertices(), 6u );
        std::vector< std::string > block_names;
        for( const auto& block : loaded.blocks() )
        {
            block_names.emplace_back( block.name() );
        }
        EXPECT_EQ( block_names, ( std::vector< std::string >{ "block", "" } ) );
    }

    // Saving a loaded model writes the same bytes: the format is
    // deterministic and keeps everything it writes.
    TEST( ModelFileRoundTrip, saving_a_loaded_model_writes_the_same_bytes )
    {
        const auto model = test::every_kind_model();
        test::TemporaryFolder first;
        test::TemporaryFolder second;
        const auto loaded = test::save_and_load( model, first );
        save_model( loaded, second.path() / "model.vtm" );
        const auto written = test::folder_contents( first.path() );
        // The multiblock file, the folder and its files, nothing else.
        EXPECT_EQ( written.size(), 12u );
        EXPECT_EQ( test::folder_contents( second.path() ), written );
    }

    TEST( ModelFileRoundTrip, factory_models )
    {
        for( const index_t nb_horizons : { 0, 1, 3 } )
        {
            for( const index_t nb_faults : { 0, 1, 2 } )
            {
                SCOPED_TRACE( concatenate(
                    nb_horizons, " horizons, ", nb_faults, " faults" ) );
                SampleModelParameters parameters;
                parameters.nb_horizons = nb_horizons;
                parameters.faults = spread_faults( parameters.box, nb_faults );
                parameters.resolution.target_top_triangles = 2000;
                expect_round_trip( build_sample_model( parameters ).model );
            }
        }
    }

    TEST( ModelFileRoundTrip, small_factory_models )
    {
        expect_round_trip( flat_layer_cake().model );
        expect_round_trip( one_fault_model().model );
        expect_round_trip( two_faults_model().model );
    }

    TEST( ModelFileRoundTrip, rebuilt_pillar_model )
    {
        VarnholtPillarLibrary::initialize();
        auto sample = build_sample_model( small_sample_parameters( 2, 1 ) );
        PillarStructuralModelBuilder builder{ sample.model, sample.top_surfaces,
            sample.bottom_surfaces };
        const auto result = builder.build( PillarStructuralModelOptions{} );
        ASSERT_FALSE( result.slice_collection_order.empty() );
        expect_round_trip( sample.model );
    }
} // namespace brevane
