#include <gtest/gtest.h>

#include <pillar/pillar_structural_model_exception.h>
#include <pillar/pillar_structural_model_options.h>

namespace brevane
{
    TEST( InspectionResult, default_aggregate_reports_four_clean_checks )
    {
        const PillarStructuralModelInspectionResult result;
        EXPECT_EQ( result.string(),
            "no issues with Multi z configurations.\n"
            "no issues with Lines not crossing the entire model.\n"
            "no issues with Points too far from topography boundaries.\n"
            "no issues with Surfaces not tagged as faults or as horizons.\n" );
    }

    TEST( InspectionResult, types_and_counts )
    {
        EXPECT_EQ( MultiZInspectionResult{}.inspection_type(),
            "Multi z surfaces inspection" );
        EXPECT_EQ( LinesInspectionResult{}.inspection_type(), "Lines inspection" );
        EXPECT_EQ(
            PointsTooFarFromTopographyBoundaryInspectionResult{}.inspection_type(),
            "Different horizon boundaries size inspection" );
        EXPECT_EQ( SurfacesCollectionInspectionResult{}.inspection_type(),
            "Surfaces collection inspection" );

        PointsTooFarFromTopographyBoundaryInspectionResult points;
        points.issues.push_back( { Point3D{ { 1, 2, 3 } }, 0.5, 7 } );
        points.issues.push_back( { Point3D{ { 1, 2, 3 } }, 0.5, 8 } );
        points.messages.push_back( "first" );
        EXPECT_EQ( points.nb_issues(), 2u );
        EXPECT_EQ( points.string(),
            "2 issues with Points too far from topography boundaries."
            "\n\tfirst\n" );
    }

    TEST( InspectionResult, one_issue_uses_the_plural_form )
    {
        LinesInspectionResult lines;
        lines.issues.push_back( uuid{} );
        lines.messages.push_back( "Line x is not crossing the entire model" );
        EXPECT_EQ( lines.string(),
            "1 issues with Lines not crossing the entire model."
            "\n\tLine x is not crossing the entire model\n" );
    }

    TEST( InspectionResult, copies_are_deep_and_moved_from_records_are_empty )
    {
        MultiZInspectionResult original;
        original.issues.push_back( uuid{} );
        original.messages.push_back( "folded" );
        MultiZInspectionResult copy{ original };
        copy.messages.front() = "changed";
        EXPECT_EQ( original.messages.front(), "folded" );

        auto& self = copy;
        copy = self;
        EXPECT_EQ( copy.nb_issues(), 1u );

        MultiZInspectionResult moved{ std::move( original ) };
        EXPECT_EQ( moved.description, "Multi z configurations." );
        EXPECT_EQ( moved.nb_issues(), 1u );
        EXPECT_TRUE( original.description.empty() );
        EXPECT_EQ( original.nb_issues(), 0u );
        EXPECT_TRUE( original.messages.empty() );

        SurfacesCollectionInspectionResult target;
        SurfacesCollectionInspectionResult source;
        target = std::move( source );
        EXPECT_EQ( target.description,
            "Surfaces not tagged as faults or as horizons." );
        EXPECT_TRUE( source.description.empty() );
    }

    // The message begins with the fixed sentence and names the checks that
    // found issues.
    TEST( PillarStructuralModelException, message_names_the_failed_checks )
    {
        PillarStructuralModelInspectionResult result;
        result.lines.description = "Lines not ending on a boundary.";
        result.lines.issues.push_back( uuid{} );
        result.lines.messages.push_back( "a line" );
        result.multi_z.description = "Folds.";
        const std::string expected{ "Pillar model construction is not "
                                    "possible. Failed checks: 1 issues with "
                                    "Lines not ending on a boundary." };
        const PillarStructuralModelException error{ result };
        EXPECT_EQ( error.what(), expected );
        EXPECT_EQ( error.inspection_result.string(), result.string() );
        try
        {
            throw PillarStructuralModelException{ result };
        }
        catch( const TessarkException& caught )
        {
            EXPECT_EQ( caught.what(), expected );
        }
    }

    TEST( PillarStructuralModelOptions, asks_for_block_meshes_by_default )
    {
        PillarStructuralModelOptions options;
        EXPECT_TRUE( options.add_block_mesh );
        PillarStructuralModelOptions other;
        other.add_block_mesh = false;
        options = other;
        EXPECT_FALSE( options.add_block_mesh );
    }
} // namespace brevane
