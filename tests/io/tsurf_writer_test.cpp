#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_reader.h>
#include <io/tsurf_writer.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        // Coordinates with no short decimal form, tiny and huge ones: the
        // text must give every bit back.
        std::vector< TSurfPart > awkward_parts()
        {
            TSurfPart first{ "first surface", "first surface",
                { Point3D{ { 0.1, 1. / 3, -2e-300 } },
                    Point3D{ { 623456.78901234567, 7e15, -0. } },
                    Point3D{ { -1.5, 4.9e-324, 1e300 } },
                    Point3D{ { 3, 2, 1 } } },
                { { 0, 1, 2 }, { 2, 1, 3 } } };
            TSurfPart second{ "second", "second",
                { Point3D{ { 1, 1, 1 } }, Point3D{ { 2, 1, 1 } },
                    Point3D{ { 1, 2, 1 } } },
                { { 2, 1, 0 } } };
            return { first, second };
        }

        void expect_same_parts( const std::vector< TSurfPart >& read,
            const std::vector< TSurfPart >& written )
        {
            ASSERT_EQ( read.size(), written.size() );
            for( std::size_t part = 0; part < read.size(); part++ )
            {
                EXPECT_EQ( read[part].name, written[part].name );
                EXPECT_EQ( read[part].object, written[part].name );
                EXPECT_EQ( read[part].points, written[part].points );
                EXPECT_EQ( read[part].triangles, written[part].triangles );
            }
        }
    } // namespace

    TEST( WriteTSurf, TextReadsBackToTheSameParts )
    {
        const auto parts = awkward_parts();
        const auto text = tsurf_text( parts );
        EXPECT_THAT( text, testing::HasSubstr( "ZPOSITIVE Elevation" ) );
        EXPECT_THAT( text, testing::HasSubstr( "TFACE" ) );
        expect_same_parts( read_tsurf_text( text, "round.ts" ), parts );
    }

    TEST( WriteTSurf, FileReadsBackAndAMissingFolderIsNamed )
    {
        const auto folder =
            std::filesystem::path{ testing::TempDir() } / "write_tsurf_file";
        std::filesystem::create_directories( folder );
        const auto parts = awkward_parts();
        write_tsurf( parts, folder / "parts.ts" );
        expect_same_parts( read_tsurf( folder / "parts.ts" ), parts );

        const auto unreachable = folder / "no_such_folder" / "parts.ts";
        EXPECT_THAT(
            [&]
            {
                write_tsurf( parts, unreachable );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( unreachable.string() ) ) );
    }

    TEST( WriteTSurf, PartOfAMeshTakesItsTriangles )
    {
        const auto mesh = test::grid_surface< 3 >( 2, 1 );
        const auto part = tsurf_part( "grid", *mesh );
        EXPECT_EQ( part.name, "grid" );
        ASSERT_EQ( part.points.size(), mesh->nb_vertices() );
        ASSERT_EQ( part.triangles.size(), mesh->nb_polygons() );
        for( index_t polygon = 0; polygon < mesh->nb_polygons(); polygon++ )
        {
            const auto vertices = mesh->polygon_vertices( polygon );
            EXPECT_EQ( part.triangles[polygon],
                ( std::array< index_t, 3 >{
                    vertices[0], vertices[1], vertices[2] } ) );
        }
        EXPECT_EQ( part.points[4], mesh->point( 4 ) );

        const auto quads = test::quad_grid< 3 >( 1, 1 );
        EXPECT_THAT(
            [&]
            {
                static_cast< void >( tsurf_part( "quads", *quads ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                "Surface \"quads\" polygon 0 has 4 vertices" ) ) );
    }

    namespace
    {
        struct BadPartCase
        {
            std::string name;
            TSurfPart part;
            std::string message;
        };

        class WriteBadTSurfPart : public testing::TestWithParam< BadPartCase >
        {
        };

        TSurfPart triangle_part(
            std::string name, std::array< index_t, 3 > triangle, double x = 0 )
        {
            return { name, name,
                { Point3D{ { x, 0, 0 } }, Point3D{ { 1, 0, 0 } },
                    Point3D{ { 0, 1, 0 } } },
                { triangle } };
        }
    } // namespace

    // A part that would not read back is refused, naming it.
    TEST_P( WriteBadTSurfPart, IsRefused )
    {
        const auto& bad = GetParam();
        const std::vector< TSurfPart > parts{
            triangle_part( "good", { 0, 1, 2 } ), bad.part
        };
        EXPECT_THAT(
            [&]
            {
                static_cast< void >( tsurf_text( parts ) );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( bad.message ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( Parts, WriteBadTSurfPart,
        testing::Values(
            BadPartCase{ "NoTriangle", TSurfPart{ "empty", "empty", {}, {} },
                "Part \"empty\" has no triangle" },
            BadPartCase{ "PointPastTheEnd",
                triangle_part( "past", { 0, 1, 3 } ),
                "Part \"past\" triangle 0 indexes a point past the last one" },
            BadPartCase{ "RepeatedPoint", triangle_part( "twice", { 0, 1, 1 } ),
                "Part \"twice\" triangle 0 uses one point twice" },
            BadPartCase{ "NotFinite",
                triangle_part( "infinite", { 0, 1, 2 },
                    std::numeric_limits< double >::infinity() ),
                "Part \"infinite\" point 0 has a coordinate that is not "
                "finite" },
            BadPartCase{ "EmptyName", triangle_part( "", { 0, 1, 2 } ),
                "Part 1 (\"\") needs a name on one line" },
            BadPartCase{ "NameOnTwoLines", triangle_part( "a\nb", { 0, 1, 2 } ),
                "needs a name on one line" } ),
        []( const testing::TestParamInfo< BadPartCase >& info )
        {
            return info.param.name;
        } );
} // namespace brevane
