#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <io/tsurf_closure.h>
#include <io/tsurf_model_assembly.h>

namespace brevane
{
    namespace
    {
        std::vector< std::string > with_text(
            const std::vector< std::string >& lines, std::string_view text )
        {
            std::vector< std::string > found;
            for( const auto& line : lines )
            {
                if( line.find( text ) != std::string::npos )
                {
                    found.push_back( line );
                }
            }
            return found;
        }
    } // namespace

    // A fin standing on an inner edge of a floor: the fin's bottom edge is
    // met (inside the floor), its two other edges and the six border edges
    // of the floor are not.
    TEST( UnsharedSurfaceBorders, CountsInnerEdgesOfOtherSurfacesAsMet )
    {
        TSurfModelParts parts;
        parts.surfaces.push_back(
            { TSurfPart{ "floor", "floor",
                  { Point3D{ { 0, 0, 0 } }, Point3D{ { 1, 0, 0 } },
                      Point3D{ { 2, 0, 0 } }, Point3D{ { 0, 1, 0 } },
                      Point3D{ { 1, 1, 0 } }, Point3D{ { 2, 1, 0 } } },
                  { { 0, 1, 4 }, { 0, 4, 3 }, { 1, 2, 5 }, { 1, 5, 4 } } },
                TSurfRole::horizon, "floor" } );
        parts.surfaces.push_back(
            { TSurfPart{ "fin", "fin",
                  { Point3D{ { 1, 0, 0 } }, Point3D{ { 1, 1, 0 } },
                      Point3D{ { 1, 0.5, 1 } } },
                  { { 0, 1, 2 } } },
                TSurfRole::fault, "fin" } );
        const auto imported = assemble_tsurf_model( parts );
        const auto open = unshared_surface_borders( imported.model );
        EXPECT_EQ( with_text( open, "Surface \"floor\"" ).size(), 6 );
        EXPECT_THAT( with_text( open, "Surface \"fin\"" ),
            testing::UnorderedElementsAre(
                testing::HasSubstr( "from (1 1 0) to (1 0.5 1)" ),
                testing::HasSubstr( "from (1 0.5 1) to (1 0 0)" ) ) );
        EXPECT_EQ( open.size(), 8 );
        // The assembly reports the same lines, with the missing blocks.
        EXPECT_EQ(
            with_text( imported.problems, "meets no other surface" ), open );
        EXPECT_THAT( imported.problems,
            testing::Contains( testing::HasSubstr( "No block is given" ) ) );
        EXPECT_EQ( imported.model.nb_unique_vertices(), 7 );
    }

    TEST( UnsharedSurfaceBorders, ClosedSurfacesHaveNone )
    {
        // A tetrahedron as four one-triangle parts.
        const std::array< Point3D, 4 > corners{ Point3D{ { 0, 0, 0 } },
            Point3D{ { 1, 0, 0 } }, Point3D{ { 0, 1, 0 } },
            Point3D{ { 0, 0, 1 } } };
        const std::array< std::array< index_t, 3 >, 4 > faces{ { { 1, 2, 3 },
            { 0, 3, 2 }, { 0, 1, 3 }, { 0, 2, 1 } } };
        TSurfModelParts parts;
        TSurfModelBlock block{ "inside", {} };
        for( index_t face = 0; face < 4; face++ )
        {
            TSurfPart part{ concatenate( "face_", face ), "faces", {},
                { { 0, 1, 2 } } };
            for( const auto corner : faces[face] )
            {
                part.points.push_back( corners[corner] );
            }
            parts.surfaces.push_back(
                { std::move( part ), TSurfRole::boundary, "faces" } );
            block.surfaces.push_back( face );
        }
        parts.blocks.push_back( block );
        const auto imported = assemble_tsurf_model( parts );
        EXPECT_THAT(
            unshared_surface_borders( imported.model ), testing::IsEmpty() );
        EXPECT_THAT( imported.problems, testing::IsEmpty() );
        EXPECT_EQ( imported.model.nb_unique_vertices(), 4 );
        EXPECT_EQ( imported.model.nb_fault_blocks(), 1 );
    }
} // namespace brevane
