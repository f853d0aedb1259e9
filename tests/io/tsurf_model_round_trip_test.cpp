#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include <absl/strings/str_join.h>

#include <tessark/inspection/model_validation.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/varnholt_pillar_library.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include <io/tsurf_description.h>
#include <io/tsurf_model.h>
#include <io/tsurf_model_export.h>
#include <io/tsurf_reader.h>
#include <io/tsurf_writer.h>

namespace brevane
{
    namespace
    {
        // Two horizons cut by one fault, about 2000 top triangles.
        SampleModel factory_model()
        {
            auto parameters = small_sample_parameters( 2, 1 );
            parameters.resolution.target_top_triangles = 2000;
            return build_sample_model( parameters );
        }

        std::filesystem::path test_folder( std::string_view name )
        {
            auto folder = std::filesystem::path{ testing::TempDir() }
                          / std::string{ name };
            std::filesystem::remove_all( folder );
            return folder;
        }

        std::map< std::string, index_t > triangles_by_surface(
            const StructuralModel& model )
        {
            std::map< std::string, index_t > triangles;
            for( const auto& surface : model.surfaces() )
            {
                triangles.emplace(
                    surface.name(), surface.mesh().nb_polygons() );
            }
            return triangles;
        }

        std::set< std::string > collection_names(
            const ComponentSet< Collection >& collections )
        {
            std::set< std::string > names;
            for( const auto& collection : collections )
            {
                names.emplace( collection.name() );
            }
            return names;
        }

        // The block names of each fault block.
        std::set< std::set< std::string > > fault_block_contents(
            const StructuralModel& model )
        {
            std::set< std::set< std::string > > contents;
            for( const auto& fault_block : model.fault_blocks() )
            {
                std::set< std::string > blocks;
                for( const auto& item : model.fault_block_items( fault_block ) )
                {
                    blocks.emplace( model.block( item.id() ).name() );
                }
                contents.insert( std::move( blocks ) );
            }
            return contents;
        }

        std::vector< std::string > names_of(
            const StructuralModel& model, const std::vector< uuid >& ids )
        {
            std::vector< std::string > names;
            for( const auto& id : ids )
            {
                names.emplace_back( model.surface( id ).name() );
            }
            return names;
        }
    } // namespace

    // A factory model written as TSurf files and imported back is the same
    // closed model: same surfaces, triangles, collections and blocks; and
    // the pillar build inspects it without issue and builds it.
    TEST( TSurfModelRoundTrip, FactoryModelImportsBackAndBuilds )
    {
        const auto sample = factory_model();
        const auto description = export_tsurf_model(
            sample.model, test_folder( "tsurf_round_trip" ) );
        auto imported = import_tsurf_model( description );
        ASSERT_THAT( imported.problems, testing::IsEmpty() )
            << absl::StrJoin( imported.problems, "\n" );
        const auto report = validate_model( imported.model );
        EXPECT_TRUE( report.is_valid() ) << report.string();

        EXPECT_EQ( imported.model.nb_surfaces(), sample.model.nb_surfaces() );
        EXPECT_EQ( triangles_by_surface( imported.model ),
            triangles_by_surface( sample.model ) );
        EXPECT_EQ( imported.model.nb_blocks(), sample.model.nb_blocks() );
        EXPECT_EQ( imported.model.nb_unique_vertices(),
            sample.model.nb_unique_vertices() );
        EXPECT_EQ( collection_names( imported.model.horizons() ),
            collection_names( sample.model.horizons() ) );
        EXPECT_EQ( collection_names( imported.model.faults() ),
            collection_names( sample.model.faults() ) );
        EXPECT_EQ( collection_names( imported.model.model_boundaries() ),
            collection_names( sample.model.model_boundaries() ) );
        EXPECT_EQ( fault_block_contents( imported.model ),
            fault_block_contents( sample.model ) );
        EXPECT_EQ( names_of( imported.model, imported.top_surfaces ),
            names_of( sample.model, sample.top_surfaces ) );
        EXPECT_EQ( names_of( imported.model, imported.bottom_surfaces ),
            names_of( sample.model, sample.bottom_surfaces ) );

        VarnholtPillarLibrary::initialize();
        PillarStructuralModelBuilder builder{ imported.model,
            imported.top_surfaces, imported.bottom_surfaces };
        EXPECT_EQ( builder.is_model_construction_possible().string(),
            PillarStructuralModelInspectionResult{}.string() );
        const auto result = builder.build( {} );
        EXPECT_FALSE( result.slice_collection_order.empty() );
        const auto built = validate_model( imported.model );
        EXPECT_TRUE( built.is_valid() ) << built.string();
    }

    // One topography piece left out of a closed factory model: problems
    // name the open borders of the surfaces around the gap, and only
    // those.
    TEST( TSurfModelRoundTrip, SurfaceLeftOutGivesOpenBorders )
    {
        const auto sample = factory_model();
        const auto folder = test_folder( "tsurf_left_out" );
        const auto description_path =
            export_tsurf_model( sample.model, folder );
        auto description = read_tsurf_model_description( description_path );
        const auto top_entry = std::find_if( description.surfaces.begin(),
            description.surfaces.end(),
            []( const TSurfSurfaceEntry& entry )
            {
                return entry.role == TSurfRole::topography;
            } );
        ASSERT_NE( top_entry, description.surfaces.end() );
        auto top_parts = read_tsurf( folder / top_entry->file );
        ASSERT_GE( top_parts.size(), 2 );
        const auto removed = top_parts.back();
        top_parts.pop_back();
        write_tsurf( top_parts, folder / top_entry->file );
        for( auto& block : description.blocks )
        {
            std::erase( block.surfaces, removed.name );
        }
        write_tsurf_model_description( description, description_path );

        const auto imported = import_tsurf_model( description_path );
        ASSERT_FALSE( imported.problems.empty() );
        std::set< std::string > open_surfaces;
        for( const auto& problem : imported.problems )
        {
            if( problem.find( "meets no other surface" ) == std::string::npos )
            {
                continue;
            }
            const auto name_end = problem.find( '"', 9 );
            ASSERT_TRUE( problem.starts_with( "Surface \"" )
                         && name_end != std::string::npos )
                << problem;
            open_surfaces.insert( problem.substr( 9, name_end - 9 ) );
        }
        ASSERT_FALSE( open_surfaces.empty() );
        // Every surface with an open border touched the removed piece.
        const std::set< Point3D > removed_points(
            removed.points.begin(), removed.points.end() );
        for( const auto& surface : imported.model.surfaces() )
        {
            if( !open_surfaces.contains( std::string{ surface.name() } ) )
            {
                continue;
            }
            bool touches{ false };
            const auto& mesh = surface.mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                touches =
                    touches || removed_points.contains( mesh.point( vertex ) );
            }
            EXPECT_TRUE( touches ) << surface.name();
        }
        EXPECT_EQ(
            imported.model.nb_surfaces(), sample.model.nb_surfaces() - 1 );
    }
} // namespace brevane
