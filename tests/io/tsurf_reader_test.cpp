#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <sys/stat.h>

#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_reader.h>

namespace brevane
{
    namespace
    {
        struct ExpectedPart
        {
            std::string name;
            std::vector< std::array< double, 3 > > points;
            std::vector< std::array< index_t, 3 > > triangles;
        };

        struct ReadCase
        {
            std::string name;
            std::string text;
            std::vector< ExpectedPart > parts;
        };

        const std::vector< std::array< double, 3 > > UNIT_TRIANGLE{ { 0, 0, 0 },
            { 1, 0, 0 }, { 0, 1, 0 } };

        class ReadTSurf : public testing::TestWithParam< ReadCase >
        {
        };
    } // namespace

    // Each keyword alone, read from text: names, points (in definition
    // order, only those triangles use) and triangles of every part.
    TEST_P( ReadTSurf, GivesTheParts )
    {
        const auto& read_case = GetParam();
        const auto parts =
            read_tsurf_text( read_case.text, "folder/file_stem.ts" );
        ASSERT_EQ( parts.size(), read_case.parts.size() );
        for( std::size_t part = 0; part < parts.size(); part++ )
        {
            const auto& expected = read_case.parts[part];
            SCOPED_TRACE( expected.name );
            EXPECT_EQ( parts[part].name, expected.name );
            ASSERT_EQ( parts[part].points.size(), expected.points.size() );
            for( std::size_t point = 0; point < expected.points.size();
                 point++ )
            {
                EXPECT_EQ(
                    parts[part].points[point].values(), expected.points[point] )
                    << "point " << point;
            }
            EXPECT_EQ( parts[part].triangles, expected.triangles );
        }
    }

    INSTANTIATE_TEST_SUITE_P( Keywords, ReadTSurf,
        testing::Values(
            ReadCase{ "VrtxIdsWithGapsAndAnyStart",
                "GOCAD TSurf 1\nHEADER {\nname: flat\n}\nVRTX 10 0 0 0\n"
                "VRTX 12 1 0 0\nVRTX 1000 0 1 0\nTRGL 10 12 1000\nEND\n",
                { { "flat", UNIT_TRIANGLE, { { 0, 1, 2 } } } } },
            ReadCase{ "PvrtxPropertiesIgnored",
                "GOCAD TSurf 1\nHEADER {\nname: props\n}\n"
                "PROPERTIES porosity facies\nNO_DATA_VALUES -99 -99\n"
                "PVRTX 1 0 0 0 0.25 3\nPVRTX 2 1 0 0 -99 text\n"
                "PVRTX 3 0 1 0 0.5 7\nTRGL 1 2 3\nEND\n",
                { { "props", UNIT_TRIANGLE, { { 0, 1, 2 } } } } },
            ReadCase{ "AtomAndPatomShareTheirVertex",
                "GOCAD TSurf 1\nHEADER {\nname: atoms\n}\nVRTX 1 0 0 0\n"
                "VRTX 2 1 0 0\nVRTX 3 0 1 0\nVRTX 4 1 1 0\nATOM 5 2\n"
                "PATOM 6 3 0.7\nTRGL 1 2 3\nTRGL 5 4 6\nEND\n",
                { { "atoms",
                    { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 1, 1, 0 } },
                    { { 0, 1, 2 }, { 1, 3, 2 } } } } },
            // The second TFACE uses a vertex of the first through an ATOM:
            // each part has its own copy of the point.
            ReadCase{ "SeveralTFaces",
                "GOCAD TSurf 1\nHEADER {\nname: pieces\n}\nTFACE\n"
                "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 3\n"
                "TFACE\nVRTX 4 5 0 0\nVRTX 5 5 1 0\nATOM 6 2\nTRGL 6 4 5\n"
                "TFACE\nEND\n",
                { { "pieces:0", UNIT_TRIANGLE, { { 0, 1, 2 } } },
                    { "pieces:1", { { 1, 0, 0 }, { 5, 0, 0 }, { 5, 1, 0 } },
                        { { 0, 1, 2 } } } } },
            ReadCase{ "BstoneAndBorderChecked",
                "GOCAD TSurf 1\nHEADER {\nname: stones\n}\nTFACE\n"
                "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 3\n"
                "BSTONE 1\nBORDER 4 1 2\nEND\n",
                { { "stones", UNIT_TRIANGLE, { { 0, 1, 2 } } } } },
            ReadCase{ "DepthPositiveFlipped",
                "GOCAD TSurf 1\nHEADER {\nname: deep\n}\n"
                "GOCAD_ORIGINAL_COORDINATE_SYSTEM\nNAME Default\n"
                "AXIS_NAME \"X\" \"Y\" \"Z\"\nAXIS_UNIT \"m\" \"m\" \"m\"\n"
                "ZPOSITIVE Depth\nEND_ORIGINAL_COORDINATE_SYSTEM\n"
                "VRTX 1 0 0 100\nVRTX 2 1 0 -2.5\nVRTX 3 0 1 0\n"
                "TRGL 1 2 3\nEND\n",
                { { "deep", { { 0, 0, -100 }, { 1, 0, 2.5 }, { 0, 1, 0 } },
                    { { 0, 1, 2 } } } } },
            // Comment lines, unknown keywords, other header keys and other
            // brace blocks (whose "name:" is not the object's) are skipped;
            // CR LF line ends are read.
            ReadCase{ "CommentsAndUnknownKeywordsSkipped",
                "# exported surface\r\nGOCAD TSurf 1\r\n"
                "HEADER {\r\n*solid*color: 1 0 0 1\r\nname:  two words  "
                "\r\n}\r\n"
                "PROPERTY_CLASS_HEADER porosity {\r\nname: not this\r\n"
                "kind: Real\r\n}\r\nSTRATIGRAPHIC_POSITION upper 3\r\n"
                "  # indented comment\r\nVRTX 1 0 0 0\r\nVRTX 2 +1 0 0\r\n"
                "VRTX 3 0 1e0 0\r\nSOME_FUTURE_KEYWORD 1 2 3\r\n"
                "TRGL 1 2 3\r\nEND\r\n",
                { { "two words", UNIT_TRIANGLE, { { 0, 1, 2 } } } } },
            // Ids restart in each object; an object of another kind is
            // skipped; no header name gives the file stem; keywords
            // before any "GOCAD" line form an object too; a header may
            // hold on one line.
            ReadCase{ "SeveralObjects",
                "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 3\nEND\n"
                "GOCAD PLine 1\nHEADER {\nname: a_line\n}\nILINE\n"
                "VRTX 1 9 9 9\nVRTX 2 8 8 8\nSEG 1 2\nEND\n"
                "GOCAD TSurf 1\nHEADER {name:second}\nVRTX 1 0 0 1\n"
                "VRTX 2 1 0 1\nVRTX 3 0 1 1\nTRGL 3 2 1\nEND\n",
                { { "file_stem", UNIT_TRIANGLE, { { 0, 1, 2 } } },
                    { "second", { { 0, 0, 1 }, { 1, 0, 1 }, { 0, 1, 1 } },
                        { { 2, 1, 0 } } } } },
            ReadCase{ "DepthInLowerCaseFlipped",
                "GOCAD TSurf 1\nZPOSITIVE depth\nVRTX 1 0 0 1\n"
                "VRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 3\nEND\n",
                { { "file_stem", { { 0, 0, -1 }, { 1, 0, 0 }, { 0, 1, 0 } },
                    { { 0, 1, 2 } } } } },
            // Lines that end with a lone CR, as old Mac files do.
            ReadCase{ "CrOnlyLineEnds",
                "GOCAD TSurf 1\rHEADER {\rname: mac\r}\rVRTX 1 0 0 0\r"
                "VRTX 2 1 0 0\rVRTX 3 0 1 0\rTRGL 1 2 3\rEND\r",
                { { "mac", UNIT_TRIANGLE, { { 0, 1, 2 } } } } },
            // A brace in a trailing comment opens no block; a '#' inside a
            // word starts no comment.
            ReadCase{ "BraceInTrailingComment",
                "GOCAD TSurf 1 # exported {by hand\nHEADER {name:a#b}\n"
                "VRTX 1 0 0 0 # first {\nVRTX 2 1 0 0\nVRTX 3 0 1 0\n"
                "TRGL 1 2 3\t# the only one {\nEND\n",
                { { "a#b", UNIT_TRIANGLE, { { 0, 1, 2 } } } } },
            // Points no triangle uses are left out.
            ReadCase{ "UnusedVerticesLeftOut",
                "GOCAD TSurf 1\nVRTX 1 7 7 7\nVRTX 2 0 0 0\nVRTX 3 1 0 0\n"
                "VRTX 4 0 1 0\nTRGL 2 3 4\nEND\n",
                { { "file_stem", UNIT_TRIANGLE, { { 0, 1, 2 } } } } } ),
        []( const testing::TestParamInfo< ReadCase >& info )
        {
            return info.param.name;
        } );

    namespace
    {
        struct MalformedCase
        {
            std::string name;
            std::string text;
            index_t line;
            std::string message;
        };

        class ReadMalformedTSurf
            : public testing::TestWithParam< MalformedCase >
        {
        };

        constexpr auto HEADER = "GOCAD TSurf 1\nHEADER {\nname: bad\n}\n";
    } // namespace

    // Each malformed line gives an error naming the file, the line and
    // what is wrong.
    TEST_P( ReadMalformedTSurf, NamesTheFileAndLine )
    {
        const auto& malformed = GetParam();
        try
        {
            static_cast< void >(
                read_tsurf_text( malformed.text, "surfaces/bad.ts" ) );
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(),
                testing::HasSubstr( absl::StrCat(
                    "surfaces/bad.ts line ", malformed.line, ": " ) ) );
            EXPECT_THAT(
                error.what(), testing::HasSubstr( malformed.message ) );
        }
    }

    INSTANTIATE_TEST_SUITE_P( Lines, ReadMalformedTSurf,
        testing::Values(
            MalformedCase{ "TrglNamesMissingVertex",
                absl::StrCat( HEADER,
                    "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 9\n" ),
                8, "TRGL names vertex 9" },
            MalformedCase{ "NotANumber",
                absl::StrCat( HEADER, "VRTX 1 0 0 0\nVRTX 2 1 abc 0\n" ), 6,
                "\"abc\" is not a finite number (y coordinate)" },
            MalformedCase{ "NotFinite",
                absl::StrCat( HEADER, "VRTX 1 0 0 nan\n" ), 5,
                "\"nan\" is not a finite number (z coordinate)" },
            MalformedCase{ "IdNotAnInteger",
                absl::StrCat( HEADER, "VRTX 1.5 0 0 0\n" ), 5,
                "\"1.5\" is not an integer (vertex id)" },
            MalformedCase{ "AtomToMissingVertex",
                absl::StrCat( HEADER, "VRTX 1 0 0 0\n\nATOM 2 7\n" ), 7,
                "ATOM names vertex 7" },
            MalformedCase{ "TrglRepeatsVertex",
                absl::StrCat(
                    HEADER, "VRTX 1 0 0 0\nVRTX 2 1 0 0\nTRGL 1 2 1\n" ),
                7, "TRGL 1 2 1 uses one vertex twice" },
            MalformedCase{ "TrglRepeatsVertexThroughAtom",
                absl::StrCat( HEADER,
                    "VRTX 1 0 0 0\nVRTX 2 1 0 0\nATOM 3 1\nTRGL 1 2 3\n" ),
                8, "uses one vertex twice" },
            MalformedCase{ "VertexDefinedTwice",
                absl::StrCat( HEADER, "VRTX 1 0 0 0\nVRTX 1 1 0 0\n" ), 6,
                "vertex id 1 is defined twice" },
            MalformedCase{ "MissingCoordinate",
                absl::StrCat( HEADER, "VRTX 1 0 0\n" ), 5,
                "VRTX needs an id and three coordinates, found 3 values" },
            MalformedCase{ "BorderToMissingVertex",
                absl::StrCat( HEADER,
                    "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 3\n"
                    "BORDER 1 2 4\n" ),
                9, "BORDER names vertex 4" },
            MalformedCase{ "UnknownZPositive",
                absl::StrCat( HEADER, "ZPOSITIVE Up\n" ), 5,
                "ZPOSITIVE is \"Up\"" },
            MalformedCase{ "NoTriangle",
                absl::StrCat( HEADER, "VRTX 1 0 0 0\nEND\n" ), 6,
                "the file holds no triangle" },
            MalformedCase{ "EmptyFile", "", 0, "the file holds no triangle" },
            MalformedCase{ "HeaderNeverClosed",
                "GOCAD TSurf 1\nHEADER {\nname: open\nVRTX 1 0 0 0\n"
                "VRTX 2 1 0 0\nVRTX 3 0 1 0\nTRGL 1 2 3\nEND\n",
                2,
                "the HEADER block opened on this line by \"{\" is never "
                "closed" },
            MalformedCase{ "BlockNeverClosed",
                absl::StrCat( HEADER,
                    "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\n"
                    "PROPERTY_CLASS_HEADER z {\nTRGL 1 2 3\nEND\n" ),
                8, "the block opened on this line" },
            // The last line break ends the line it closes: the error names
            // the line of the HEADER, not the end of the file.
            MalformedCase{ "HeaderNeverClosedWithCrOnly",
                "GOCAD TSurf 1\rHEADER {\rname: open\rVRTX 1 0 0 0\r", 2,
                "never closed" } ),
        []( const testing::TestParamInfo< MalformedCase >& info )
        {
            return info.param.name;
        } );

    TEST( ReadTSurfFile, ReadsAFileAndNamesAMissingOne )
    {
        const auto folder =
            std::filesystem::path{ testing::TempDir() } / "read_tsurf_file";
        std::filesystem::create_directories( folder );
        const auto path = folder / "unnamed_surface.ts";
        {
            std::ofstream file{ path };
            file << "GOCAD TSurf 1\nVRTX 1 0 0 0\nVRTX 2 1 0 0\n"
                    "VRTX 3 0 1 0\nTRGL 1 2 3\nEND\n";
        }
        const auto parts = read_tsurf( path );
        ASSERT_EQ( parts.size(), 1 );
        EXPECT_EQ( parts.front().name, "unnamed_surface" );
        EXPECT_EQ( parts.front().object, "unnamed_surface" );
        EXPECT_EQ( parts.front().triangles.size(), 1 );

        // Only regular files are read: a folder, a named pipe or a device
        // is refused at once, naming it (a pipe or /dev/zero would hang or
        // never end).
        const auto pipe = folder / "pipe.ts";
        std::filesystem::remove( pipe );
        ASSERT_EQ( ::mkfifo( pipe.c_str(), 0600 ), 0 );
        for( const auto& [path, kind] :
            std::vector< std::pair< std::filesystem::path, std::string > >{
                { folder, "a folder" }, { pipe, "a named pipe (FIFO)" },
                { "/dev/zero", "a device" } } )
        {
            EXPECT_THAT(
                [&]
                {
                    static_cast< void >( read_tsurf( path ) );
                },
                testing::ThrowsMessage< TessarkException >( testing::StrEq(
                    absl::StrCat( "[TSurf] ", path.string(), ": this is ",
                        kind, ", not a regular file" ) ) ) );
        }

        const auto missing = folder / "missing.ts";
        try
        {
            static_cast< void >( read_tsurf( missing ) );
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(), testing::HasSubstr( missing.string() ) );
        }
    }
} // namespace brevane

namespace brevane
{
    // Damaged files (bytes replaced, lines cut short) either read or give
    // a TessarkException; nothing else escapes and nothing crashes.
    TEST( ReadTSurf, DamagedTextReadsOrThrows )
    {
        const std::string text =
            "GOCAD TSurf 1\nHEADER {\nname: damaged\n}\n"
            "GOCAD_ORIGINAL_COORDINATE_SYSTEM\nZPOSITIVE Depth\n"
            "END_ORIGINAL_COORDINATE_SYSTEM\nTFACE\nVRTX 1 0 0 0\n"
            "PVRTX 2 1 0 0 5\nVRTX 3 0 1 0\nATOM 4 2\nTRGL 1 2 3\n"
            "TFACE\nVRTX 5 1 1 0\nTRGL 4 5 3\nBSTONE 1\nBORDER 6 1 2\nEND\n";
        const std::string replacements{ " \n{}#:-+.0123456789eTX" };
        std::mt19937 random{ 11 };
        index_t nb_read{ 0 };
        for( index_t trial = 0; trial < 2000; trial++ )
        {
            auto damaged = text;
            const auto nb_changes = 1 + trial % 4;
            for( index_t change = 0; change < nb_changes; change++ )
            {
                const auto position = random() % damaged.size();
                if( trial % 5 == 0 )
                {
                    damaged.erase( position );
                    break;
                }
                damaged[position] =
                    replacements[random() % replacements.size()];
            }
            try
            {
                const auto parts = read_tsurf_text( damaged, "damaged.ts" );
                nb_read++;
                for( const auto& part : parts )
                {
                    for( const auto& triangle : part.triangles )
                    {
                        for( const auto point : triangle )
                        {
                            ASSERT_LT( point, part.points.size() ) << damaged;
                        }
                    }
                }
            }
            catch( const TessarkException& )
            {
            }
        }
        EXPECT_GT( nb_read, 0 );
    }
} // namespace brevane
