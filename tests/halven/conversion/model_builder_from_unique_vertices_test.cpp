#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <halven/conversion/model_builder_from_unique_vertices.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // The unique-vertex pairs of the line ends, sorted, one per line.
        std::vector< std::pair< index_t, index_t > > line_ends(
            const BRep& model )
        {
            std::vector< std::pair< index_t, index_t > > result;
            for( const auto& line : model.lines() )
            {
                const auto& ends = line.mesh().edge_vertices( 0 );
                auto first = model.unique_vertex( { line.component_id(), ends[0] } );
                auto second =
                    model.unique_vertex( { line.component_id(), ends[1] } );
                result.emplace_back(
                    std::min( first, second ), std::max( first, second ) );
            }
            std::sort( result.begin(), result.end() );
            return result;
        }
    } // namespace

    TEST( ModelBuilderFromUniqueVertices, rebuilds_removed_lines_and_corners )
    {
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        const auto original_ends = line_ends( model );
        test::remove_lines_and_corners( model );
        ASSERT_EQ( model.nb_lines(), 0u );

        const auto mappings =
            ModelBuilderFromUniqueVertices< StructuralModel >{ model, {} }
                .update_model();
        EXPECT_EQ( mappings.created_lines.size(), 6u );
        EXPECT_EQ( mappings.created_corners.size(), 4u );
        EXPECT_EQ( model.nb_lines(), 6u );
        EXPECT_EQ( model.nb_corners(), 4u );
        EXPECT_EQ( line_ends( model ), original_ends );
        for( const auto& line : model.lines() )
        {
            EXPECT_EQ( model.nb_incidences( line.id() ), 2u );
            EXPECT_EQ( model.nb_boundaries( line.id() ), 2u );
        }
        for( const auto& corner : model.corners() )
        {
            EXPECT_EQ( model.nb_incidences( corner.id() ), 3u );
        }
        const auto report = validate_model( model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
    }

    TEST( ModelBuilderFromUniqueVertices, the_flag_keeps_matching_components )
    {
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        StructuralModelBuilder builder{ model };
        builder.set_name( tetrahedron.lines[0], "kept" );
        builder.remove_line( model.line( tetrahedron.lines[5] ) );

        const auto mappings = ModelBuilderFromUniqueVertices< StructuralModel >{
            model, { true } }.update_model();
        EXPECT_EQ( mappings.created_lines.size(), 1u );
        EXPECT_TRUE( mappings.created_corners.empty() );
        EXPECT_EQ( model.line( tetrahedron.lines[0] ).name(), "kept" );
        EXPECT_EQ( model.nb_lines(), 6u );
        EXPECT_TRUE( validate_model( model ).is_valid() )
            << validate_model( model ).string();

        // Without the flag every line is replaced.
        ModelBuilderFromUniqueVertices< StructuralModel >{ model, {} }
            .update_model();
        EXPECT_FALSE( model.has_line( tetrahedron.lines[0] ) );
        EXPECT_EQ( model.nb_lines(), 6u );
        EXPECT_TRUE( validate_model( model ).is_valid() );
    }

    TEST( ModelBuilderFromUniqueVertices,
        kept_corners_cut_the_lines_they_stand_on )
    {
        // Face 0 of the tetrahedron alone, without the block: its border 1 -> 2
        // -> 3 is a loop whose vertices each join two line edges of that one
        // surface, so none is a corner by topology. Existing corners there are
        // kept when matching components are kept, and cut the border into
        // lines.
        struct Case
        {
            std::string name;
            std::vector< index_t > kept_corners;
            index_t nb_lines;
            index_t nb_created_lines;
        };
        for( const auto& test_case :
            { Case{ "a_corner_at_every_vertex", { 1, 2, 3 }, 3, 0 },
                Case{ "one_corner", { 2 }, 1, 1 } } )
        {
            test::Tetrahedron tetrahedron;
            auto& model = tetrahedron.model;
            StructuralModelBuilder builder{ model };
            builder.remove_block( model.block( tetrahedron.block ) );
            for( index_t face = 1; face < 4; face++ )
            {
                builder.remove_surface(
                    model.surface( tetrahedron.surfaces[face] ) );
            }
            for( index_t point = 0; point < 4; point++ )
            {
                if( std::find( test_case.kept_corners.begin(),
                        test_case.kept_corners.end(), point )
                    == test_case.kept_corners.end() )
                {
                    builder.remove_corner(
                        model.corner( tetrahedron.corners[point] ) );
                }
            }

            const auto mappings =
                ModelBuilderFromUniqueVertices< StructuralModel >{
                    model, { true }
                }.update_model();
            EXPECT_TRUE( mappings.created_corners.empty() ) << test_case.name;
            EXPECT_EQ(
                mappings.created_lines.size(), test_case.nb_created_lines )
                << test_case.name;
            ASSERT_EQ( model.nb_corners(), test_case.kept_corners.size() )
                << test_case.name;
            ASSERT_EQ( model.nb_lines(), test_case.nb_lines ) << test_case.name;
            for( const auto point : test_case.kept_corners )
            {
                const auto& id = tetrahedron.corners[point];
                ASSERT_TRUE( model.has_corner( id ) ) << test_case.name;
                EXPECT_EQ( model.nb_incidences( id ),
                    test_case.kept_corners.size() == 1 ? 1u : 2u )
                    << test_case.name;
            }
            index_t nb_edges{ 0 };
            for( const auto& line : model.lines() )
            {
                nb_edges += line.mesh().nb_edges();
                EXPECT_EQ( model.nb_incidences( line.id() ), 1u )
                    << test_case.name;
            }
            EXPECT_EQ( nb_edges, 3u ) << test_case.name;
            const auto report = validate_model( model );
            EXPECT_TRUE( report.is_valid() ) << test_case.name << "\n"
                                             << report.string();
        }
    }

    TEST( ModelBuilderFromUniqueVertices, a_closed_border_without_corner_is_one_loop )
    {
        // Two triangles of one surface forming a square: the border is one
        // closed line with no corner.
        test::Tetrahedron tetrahedron;
        auto& model = tetrahedron.model;
        StructuralModelBuilder builder{ model };
        for( index_t face = 1; face < 4; face++ )
        {
            builder.remove_surface( model.surface( tetrahedron.surfaces[face] ) );
        }
        test::remove_lines_and_corners( model );
        ModelBuilderFromUniqueVertices< StructuralModel >{ model, {} }
            .update_model();
        ASSERT_EQ( model.nb_lines(), 1u );
        EXPECT_EQ( model.nb_corners(), 0u );
        const auto& line = *model.lines().begin();
        EXPECT_TRUE( model.is_closed( line ) );
        EXPECT_EQ( line.mesh().nb_edges(), 3u );
    }
} // namespace brevane
