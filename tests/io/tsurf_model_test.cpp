#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <absl/strings/str_join.h>

#include <tessark/basic/string_concatenation.h>
#include <tessark/basic/tessark_exception.h>
#include <tessark/inspection/model_validation.h>

#include <io/tsurf_model.h>

namespace brevane
{
    namespace
    {
        using Corners = std::array< std::array< double, 3 >, 4 >;

        // A TSurf object with one TFACE per quadrangle (two triangles
        // each), written with z as depth when asked.
        std::string object_text( std::string_view name,
            const std::vector< Corners >& quads, bool depth = false )
        {
            auto text =
                concatenate( "GOCAD TSurf 1\nHEADER {\nname: ", name, "\n}\n" );
            if( depth )
            {
                append( &text, "GOCAD_ORIGINAL_COORDINATE_SYSTEM\n"
                               "ZPOSITIVE Depth\n"
                               "END_ORIGINAL_COORDINATE_SYSTEM\n" );
            }
            index_t id{ 1 };
            for( const auto& quad : quads )
            {
                if( quads.size() > 1 )
                {
                    append( &text, "TFACE\n" );
                }
                for( const auto& corner : quad )
                {
                    append( &text, "VRTX ", id++, " ", corner[0], " ",
                        corner[1], " ", depth ? -corner[2] : corner[2], "\n" );
                }
                const auto first = id - 4;
                append( &text, "TRGL ", first, " ", first + 1, " ", first + 2,
                    "\nTRGL ", first, " ", first + 2, " ", first + 3, "\n" );
            }
            append( &text, "END\n" );
            return text;
        }

        Corners level( double z )
        {
            return { { { 0, 0, z }, { 1, 0, z }, { 1, 1, z }, { 0, 1, z } } };
        }

        // The four sides of the unit square between two heights.
        std::vector< Corners > sides( double low, double high )
        {
            return { { { { 0, 0, low }, { 0, 1, low }, { 0, 1, high },
                         { 0, 0, high } } },
                { { { 1, 0, low }, { 1, 1, low }, { 1, 1, high },
                    { 1, 0, high } } },
                { { { 0, 0, low }, { 1, 0, low }, { 1, 0, high },
                    { 0, 0, high } } },
                { { { 0, 1, low }, { 1, 1, low }, { 1, 1, high },
                    { 0, 1, high } } } };
        }

        // A unit cube cut at mid-height by the horizon H1: the topography
        // in top.ts; H1 and the bottom "base" as two objects of
        // layers.ts, with z as depth; the sides as two objects of four
        // TFACEs each.
        class BoxFiles
        {
        public:
            explicit BoxFiles( std::string_view test )
                : folder_( std::filesystem::path{ testing::TempDir() }
                           / concatenate( "tsurf_model_", test ) )
            {
                std::filesystem::remove_all( folder_ );
                std::filesystem::create_directories( folder_ );
                write( "top.ts", object_text( "top", { level( 1 ) } ) );
                write( "layers.ts",
                    object_text( "H1", { level( 0.5 ) }, true )
                        + object_text( "base", { level( 0 ) }, true ) );
                write( "sides.ts",
                    object_text( "side_upper", sides( 0.5, 1 ) )
                        + object_text( "side_lower", sides( 0, 0.5 ) ) );
            }

            std::filesystem::path description( std::string_view json ) const
            {
                const auto path = folder_ / "model.json";
                write( "model.json", json );
                return path;
            }

            void write( std::string_view file, std::string_view text ) const
            {
                std::ofstream stream{ folder_ / std::string{ file } };
                stream << text;
            }

        private:
            std::filesystem::path folder_;
        };

        constexpr auto BOX_SURFACES = R"(
    { "file": "top.ts", "role": "topography" },
    { "file": "layers.ts", "part": "H1", "role": "horizon" },
    { "file": "layers.ts", "part": "base", "role": "bottom" },
    { "file": "sides.ts", "role": "boundary", "boundary": "sides" } )";

        constexpr auto BOX_BLOCKS = R"(
    { "name": "upper", "surfaces": [ "top", "H1", "side_upper:0",
        "side_upper:1", "side_upper:2", "side_upper:3" ] },
    { "name": "lower", "surfaces": [ "H1", "base", "side_lower:0",
        "side_lower:1", "side_lower:2", "side_lower:3" ] } )";

        std::string box_description(
            std::string_view surfaces, std::string_view blocks )
        {
            return concatenate( "{ \"surfaces\": [", surfaces,
                "],\n  \"blocks\": [", blocks, "] }" );
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

        const Collection* collection_named(
            const ComponentSet< Collection >& collections,
            std::string_view name )
        {
            for( const auto& collection : collections )
            {
                if( collection.name() == name )
                {
                    return &collection;
                }
            }
            return nullptr;
        }
    } // namespace

    TEST( ImportTSurfModel, ClosedBoxGivesAValidModelWithItsCollections )
    {
        const BoxFiles files{ "closed_box" };
        const auto imported = import_tsurf_model(
            files.description( box_description( BOX_SURFACES, BOX_BLOCKS ) ) );
        EXPECT_THAT( imported.problems, testing::IsEmpty() );
        const auto& model = imported.model;
        EXPECT_TRUE( validate_model( model ).is_valid() );
        EXPECT_EQ( model.nb_surfaces(), 11 );
        EXPECT_EQ( model.nb_blocks(), 2 );
        // The eight corners of the box and four on the horizon.
        EXPECT_EQ( model.nb_unique_vertices(), 12 );
        EXPECT_GT( model.nb_lines(), 0 );
        EXPECT_GT( model.nb_corners(), 0 );
        EXPECT_THAT( names_of( model, imported.top_surfaces ),
            testing::ElementsAre( "top" ) );
        EXPECT_THAT( names_of( model, imported.bottom_surfaces ),
            testing::ElementsAre( "base" ) );

        const auto* top = collection_named( model.model_boundaries(), "top" );
        const auto* bottom =
            collection_named( model.model_boundaries(), "bottom" );
        const auto* side =
            collection_named( model.model_boundaries(), "sides" );
        ASSERT_TRUE( top && bottom && side );
        EXPECT_EQ( model.nb_items( top->id() ), 1 );
        EXPECT_EQ( model.nb_items( bottom->id() ), 1 );
        EXPECT_EQ( model.nb_items( side->id() ), 8 );
        ASSERT_EQ( model.nb_horizons(), 1 );
        EXPECT_EQ( model.nb_faults(), 0 );
        const auto& horizon = *model.horizons().begin();
        EXPECT_EQ( horizon.name(), "H1" );
        const auto horizon_items = model.horizon_items( horizon );
        ASSERT_EQ( horizon_items.size(), 1 );
        const auto& horizon_mesh =
            model.surface( horizon_items.front().id() ).mesh();
        EXPECT_EQ( horizon_mesh.nb_polygons(), 2 );
        for( index_t vertex = 0; vertex < horizon_mesh.nb_vertices(); vertex++ )
        {
            EXPECT_EQ( horizon_mesh.point( vertex ).value( 2 ), 0.5 );
        }
        for( const auto& block : model.blocks() )
        {
            EXPECT_EQ( model.nb_boundaries( block.id() ), 6 ) << block.name();
        }
    }

    // Without the topography, the top edges of the four upper sides meet
    // nothing: one line each, naming the side and the edge at z = 1; the
    // upper block does not close either.
    TEST( ImportTSurfModel, OpenBoxNamesTheOpenBorders )
    {
        const BoxFiles files{ "open_box" };
        constexpr auto surfaces = R"(
    { "file": "layers.ts", "part": "H1", "role": "horizon" },
    { "file": "layers.ts", "part": "base", "role": "bottom" },
    { "file": "sides.ts", "role": "boundary", "boundary": "sides" } )";
        constexpr auto blocks = R"(
    { "name": "upper", "surfaces": [ "H1", "side_upper:0", "side_upper:1",
        "side_upper:2", "side_upper:3" ] } )";
        const auto imported = import_tsurf_model(
            files.description( box_description( surfaces, blocks ) ) );
        std::vector< std::string > open_borders;
        for( const auto& problem : imported.problems )
        {
            if( problem.find( "meets no other surface" ) != std::string::npos )
            {
                open_borders.push_back( problem );
            }
        }
        ASSERT_EQ( open_borders.size(), 4 )
            << absl::StrJoin( imported.problems, "\n" );
        for( index_t side = 0; side < 4; side++ )
        {
            EXPECT_THAT( open_borders[side],
                testing::AllOf( testing::StartsWith( concatenate(
                                    "Surface \"side_upper:", side, "\"" ) ),
                    testing::MatchesRegex(
                        ".*border edge from \\([01] [01] 1\\) "
                        "to \\([01] [01] 1\\) meets no other "
                        "surface" ) ) );
        }
        EXPECT_GT( imported.problems.size(), open_borders.size() );
        EXPECT_FALSE( validate_model( imported.model ).is_valid() );
    }

    TEST( ImportTSurfModel, NoBlockIsAProblem )
    {
        const BoxFiles files{ "no_block" };
        const auto imported = import_tsurf_model( files.description(
            concatenate( "{ \"surfaces\": [", BOX_SURFACES, "] }" ) ) );
        EXPECT_THAT( imported.problems,
            testing::ElementsAre( testing::HasSubstr( "No block is given" ) ) );
        EXPECT_EQ( imported.model.nb_surfaces(), 11 );
    }

    // Points of one part that coincide are one vertex: a triangle they
    // flatten is left out and reported, the others are kept.
    TEST( ImportTSurfModel, CollapsedTriangleIsLeftOutAndReported )
    {
        const BoxFiles files{ "collapsed" };
        files.write( "sliver.ts",
            "GOCAD TSurf 1\nHEADER {\nname: sliver\n}\nVRTX 1 0 0 0\n"
            "VRTX 2 1 0 0\nVRTX 3 0 1 0\nVRTX 4 1 0 0.0000001\n"
            "TRGL 1 2 3\nTRGL 1 4 2\nEND\n" );
        const auto imported = import_tsurf_model( files.description(
            R"({ "surfaces": [ { "file": "sliver.ts", "role": "horizon" } ] })" ) );
        EXPECT_THAT( imported.problems,
            testing::Contains(
                testing::AllOf( testing::StartsWith( "Surface \"sliver\"" ),
                    testing::HasSubstr( "triangle 1 is left out, two of its "
                                        "points coincide" ) ) ) );
        ASSERT_EQ( imported.model.nb_surfaces(), 1 );
        const auto& mesh = imported.model.surfaces().begin().operator*().mesh();
        EXPECT_EQ( mesh.nb_polygons(), 1 );
        EXPECT_EQ( mesh.nb_vertices(), 3 );
        EXPECT_EQ( imported.model.nb_unique_vertices(), 3 );
    }

    namespace
    {
        struct BadImportCase
        {
            std::string name;
            std::string description;
            std::string message;
        };

        class ImportBadTSurfModel
            : public testing::TestWithParam< BadImportCase >
        {
        };
    } // namespace

    // Each error names the description and the entry.
    TEST_P( ImportBadTSurfModel, NamesTheDescriptionAndEntry )
    {
        const auto& bad = GetParam();
        const BoxFiles files{ concatenate( "bad_", bad.name ) };
        files.write( "broken.ts",
            "GOCAD TSurf 1\nVRTX 1 0 0 0\nVRTX 2 1 0 0\nTRGL 1 2 3\nEND\n" );
        files.write( "other_top.ts", object_text( "top", { level( 2 ) } ) );
        const auto description = files.description( bad.description );
        EXPECT_THAT(
            [&]
            {
                static_cast< void >( import_tsurf_model( description ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                concatenate( description.string(), bad.message ) ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( Descriptions, ImportBadTSurfModel,
        testing::Values( BadImportCase{ "BadJson",
                             "{ \"surfaces\": ", ": the text is not JSON" },
            BadImportCase{ "UnknownRole",
                R"({ "surfaces": [ { "file": "top.ts", "role": "roof" } ] })",
                " surfaces[0]: unknown role \"roof\"" },
            BadImportCase{ "MissingFile",
                R"({ "surfaces": [ { "file": "top.ts", "role": "topography" },
                    { "file": "nothing.ts", "role": "bottom" } ] })",
                " surfaces[1]: [TSurf] " },
            BadImportCase{ "MissingPart",
                R"({ "surfaces": [ { "file": "layers.ts", "part": "H2", "role": "horizon" } ] })",
                " surfaces[0]: no part or object of layers.ts is named "
                "\"H2\"" },
            BadImportCase{ "PartTakenTwice",
                R"({ "surfaces": [ { "file": "layers.ts", "role": "horizon" },
                    { "file": "layers.ts", "part": "base", "role": "bottom" } ] })",
                " surfaces[1]: part \"base\" of layers.ts is already taken by "
                "surfaces[0]" },
            BadImportCase{ "ErrorInATSurfFile",
                R"({ "surfaces": [ { "file": "broken.ts", "role": "horizon" } ] })",
                " surfaces[0]: [TSurf] " },
            BadImportCase{ "BoundaryNamedTop",
                R"({ "surfaces": [ { "file": "sides.ts", "role": "boundary", "boundary": "top" } ] })",
                " surfaces[0]: the boundary \"top\" is kept for the role "
                "\"topography\"" },
            BadImportCase{ "BlockNamesNoSurface",
                R"({ "surfaces": [ { "file": "top.ts", "role": "topography" } ],
                    "blocks": [ { "name": "b", "surfaces": [ "top", "roof" ] } ] })",
                " blocks[0] (\"b\"): no surface is named \"roof\"" },
            BadImportCase{ "BlockNamesAnAmbiguousSurface",
                R"({ "surfaces": [ { "file": "top.ts", "role": "topography" },
                    { "file": "other_top.ts", "role": "horizon" } ],
                    "blocks": [ { "name": "b", "surfaces": [ "top" ] } ] })",
                " blocks[0] (\"b\"): 2 surfaces are named \"top\"" },
            BadImportCase{ "BlockListsASurfaceTwice",
                R"({ "surfaces": [ { "file": "top.ts", "role": "topography" } ],
                    "blocks": [ { "name": "b", "surfaces": [ "top", "top" ] } ] })",
                " blocks[0] (\"b\"): surface \"top\" is listed twice" } ),
        []( const testing::TestParamInfo< BadImportCase >& info )
        {
            return info.param.name;
        } );

    TEST( ImportTSurfModel, MissingDescriptionIsNamed )
    {
        const auto missing = std::filesystem::path{ testing::TempDir() }
                             / "no_such_description.json";
        EXPECT_THAT(
            [&]
            {
                static_cast< void >( import_tsurf_model( missing ) );
            },
            testing::ThrowsMessage< TessarkException >(
                testing::HasSubstr( missing.string() ) ) );
    }

    // A file of the description that is missing, a folder, a named pipe or
    // a device is named with what it is, at once (a pipe or /dev/zero
    // would hang the import or never end).
    TEST( ImportTSurfModel, OnlyRegularFilesAreRead )
    {
        const BoxFiles files{ "not_regular" };
        const auto folder =
            std::filesystem::path{ testing::TempDir() } / "tsurf_model_not_regular";
        std::filesystem::create_directory( folder / "sub" );
        ASSERT_EQ( ::mkfifo( ( folder / "pipe.ts" ).c_str(), 0600 ), 0 );
        for( const auto& [file, fault] :
            std::vector< std::pair< std::string, std::string > >{
                { "nothing.ts", "the file is missing" },
                { "sub", "this is a folder, not a regular file" },
                { "pipe.ts", "this is a named pipe (FIFO), not a regular file" },
                { "/dev/zero", "this is a device, not a regular file" } } )
        {
            SCOPED_TRACE( file );
            const auto description = files.description( concatenate(
                R"({ "surfaces": [ { "file": ")", file,
                R"(", "role": "topography" } ] })" ) );
            EXPECT_THAT(
                [&]
                {
                    static_cast< void >( import_tsurf_model( description ) );
                },
                testing::ThrowsMessage< TessarkException >( testing::StrEq(
                    concatenate( "[TSurf model] ", description.string(),
                        " surfaces[0]: [TSurf] ",
                        ( folder / file ).lexically_normal().string(), ": ",
                        fault ) ) ) );
        }
        EXPECT_THAT(
            [&]
            {
                static_cast< void >( import_tsurf_model( folder / "sub" ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::StrEq(
                concatenate( "[TSurf model] ", ( folder / "sub" ).string(),
                    ": this is a folder, not a regular file" ) ) ) );
    }
} // namespace brevane
