#include <gtest/gtest.h>

#include <algorithm>

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
