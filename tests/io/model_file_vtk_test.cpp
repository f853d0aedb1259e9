#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include <samples/sample_model.h>

#include <io/model_file.h>

#include "model_file_fixtures.h"

// Model files read by VTK's own reader, through Debian's Python and its VTK:
// an independent check that ParaView sees what the model holds.
namespace brevane
{
    namespace
    {
        const std::filesystem::path PYTHON{ "/usr/bin/python3" };

        std::filesystem::path checker_script()
        {
            return std::filesystem::path{ __FILE__ }.parent_path()
                   / "read_with_vtk.py";
        }

        template < typename Component >
        nlohmann::json dataset( const Component& component, index_t nb_cells )
        {
            const std::string name{ component.name() };
            return { { "name", name.empty() ? component.id().string() : name },
                { "points", component.mesh().nb_vertices() },
                { "cells", nb_cells } };
        }

        // What the multiblock file of the model should show.
        nlohmann::json expected_tree( const StructuralModel& model )
        {
            auto corners = nlohmann::json::array();
            for( const auto& corner : model.corners() )
            {
                corners.push_back(
                    dataset( corner, corner.mesh().nb_vertices() ) );
            }
            auto lines = nlohmann::json::array();
            for( const auto& line : model.lines() )
            {
                lines.push_back( dataset( line, line.mesh().nb_edges() ) );
            }
            auto surfaces = nlohmann::json::array();
            for( const auto& surface : model.surfaces() )
            {
                surfaces.push_back(
                    dataset( surface, surface.mesh().nb_polygons() ) );
            }
            auto blocks = nlohmann::json::array();
            for( const auto& block : model.blocks() )
            {
                blocks.push_back(
                    dataset( block, block.mesh().nb_polyhedra() ) );
            }
            return { { "groups",
                { { { "name", "Corners" }, { "datasets", corners } },
                    { { "name", "Lines" }, { "datasets", lines } },
                    { { "name", "Surfaces" }, { "datasets", surfaces } },
                    { { "name", "Blocks" }, { "datasets", blocks } } } } };
        }

        // Runs the checker on the saved model; its output when it fails.
        void expect_read_by_vtk( const StructuralModel& model )
        {
            if( !std::filesystem::exists( PYTHON ) )
            {
                GTEST_SKIP() << PYTHON << " is not installed";
            }
            test::TemporaryFolder folder;
            const auto file = folder.path() / "model.vtm";
            save_model( model, file );
            const auto expected = folder.path() / "expected.json";
            std::ofstream{ expected } << expected_tree( model ).dump( 1 );
            const auto output = folder.path() / "output.txt";
            const auto command = concatenate( PYTHON.string(), " '",
                checker_script().string(), "' '", file.string(), "' '",
                expected.string(), "' > '", output.string(), "' 2>&1" );
            const auto status = std::system( command.c_str() );
            std::ifstream report{ output };
            EXPECT_EQ( status, 0 )
                << std::string{ std::istreambuf_iterator< char >{ report },
                       {} };
        }
    } // namespace

    TEST( ModelFileVtk, every_kind_model_is_read_by_vtk )
    {
        expect_read_by_vtk( test::every_kind_model() );
    }

    TEST( ModelFileVtk, factory_model_is_read_by_vtk )
    {
        SampleModelParameters parameters;
        parameters.nb_horizons = 2;
        parameters.faults = spread_faults( parameters.box, 1 );
        parameters.resolution.target_top_triangles = 1000;
        expect_read_by_vtk( build_sample_model( parameters ).model );
    }

    // The checker itself fails on a count that does not match.
    TEST( ModelFileVtk, checker_reports_a_wrong_count )
    {
        if( !std::filesystem::exists( PYTHON ) )
        {
            GTEST_SKIP() << PYTHON << " is not installed";
        }
        const auto model = test::every_kind_model();
        test::TemporaryFolder folder;
        const auto file = folder.path() / "model.vtm";
        save_model( model, file );
        auto tree = expected_tree( model );
        tree["groups"][2]["datasets"][0]["cells"] = 3;
        const auto expected = folder.path() / "expected.json";
        std::ofstream{ expected } << tree.dump( 1 );
        const auto command = concatenate( PYTHON.string(), " '",
            checker_script().string(), "' '", file.string(), "' '",
            expected.string(), "' > /dev/null 2>&1" );
        EXPECT_NE( std::system( command.c_str() ), 0 );
    }
} // namespace brevane
