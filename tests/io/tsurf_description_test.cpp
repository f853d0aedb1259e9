#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/string_concatenation.h>
#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_description.h>

namespace brevane
{
    namespace
    {
        constexpr auto FULL_DESCRIPTION = R"({
  "surfaces": [
    { "file": "topo.ts", "role": "topography" },
    { "file": "horizons.ts", "part": "H1", "role": "horizon", "horizon": "H1" },
    { "file": "f1.ts", "role": "fault", "fault": "F1" },
    { "file": "sub/base.ts", "role": "bottom" },
    { "file": "sides.ts", "role": "boundary", "boundary": "sides" },
    { "file": "h2.ts", "role": "horizon" } ],
  "blocks": [ { "name": "upper", "surfaces": [ "topo", "H1" ] } ] })";

        void expect_same( const TSurfModelDescription& actual,
            const TSurfModelDescription& expected )
        {
            ASSERT_EQ( actual.surfaces.size(), expected.surfaces.size() );
            for( std::size_t entry = 0; entry < actual.surfaces.size();
                 entry++ )
            {
                SCOPED_TRACE( entry );
                EXPECT_EQ( actual.surfaces[entry].file,
                    expected.surfaces[entry].file );
                EXPECT_EQ( actual.surfaces[entry].part,
                    expected.surfaces[entry].part );
                EXPECT_EQ( actual.surfaces[entry].role,
                    expected.surfaces[entry].role );
                EXPECT_EQ( actual.surfaces[entry].collection,
                    expected.surfaces[entry].collection );
            }
            ASSERT_EQ( actual.blocks.size(), expected.blocks.size() );
            for( std::size_t block = 0; block < actual.blocks.size(); block++ )
            {
                EXPECT_EQ(
                    actual.blocks[block].name, expected.blocks[block].name );
                EXPECT_EQ( actual.blocks[block].surfaces,
                    expected.blocks[block].surfaces );
            }
        }
    } // namespace

    TEST( TSurfModelDescription, ParsesEveryRoleAndBlock )
    {
        const auto description =
            parse_tsurf_model_description( FULL_DESCRIPTION, "model.json" );
        const TSurfModelDescription expected{
            { { "topo.ts", "", TSurfRole::topography, "" },
                { "horizons.ts", "H1", TSurfRole::horizon, "H1" },
                { "f1.ts", "", TSurfRole::fault, "F1" },
                { "sub/base.ts", "", TSurfRole::bottom, "" },
                { "sides.ts", "", TSurfRole::boundary, "sides" },
                { "h2.ts", "", TSurfRole::horizon, "" } },
            { { "upper", { "topo", "H1" } } }
        };
        expect_same( description, expected );
    }

    TEST( TSurfModelDescription, JsonParsesBackToTheSameDescription )
    {
        const auto description =
            parse_tsurf_model_description( FULL_DESCRIPTION, "model.json" );
        expect_same( parse_tsurf_model_description(
                         tsurf_model_description_json( description ), "copy" ),
            description );
    }

    namespace
    {
        struct BadDescriptionCase
        {
            std::string name;
            std::string json;
            std::string message;
        };

        class ParseBadDescription
            : public testing::TestWithParam< BadDescriptionCase >
        {
        };

        std::string with_entry( std::string_view entry )
        {
            return concatenate(
                R"({ "surfaces": [ { "file": "a.ts", "role": "topography" }, )",
                entry, " ] }" );
        }

        std::string with_block( std::string_view block )
        {
            return concatenate(
                R"({ "surfaces": [ { "file": "a.ts", "role": "topography" } ], "blocks": [ )",
                block, " ] }" );
        }
    } // namespace

    // Every error names the description and, when there is one, the entry.
    TEST_P( ParseBadDescription, NamesTheFileAndEntry )
    {
        const auto& bad = GetParam();
        EXPECT_THAT(
            [&]
            {
                static_cast< void >(
                    parse_tsurf_model_description( bad.json, "desc.json" ) );
            },
            testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                concatenate( "[TSurf model] desc.json", bad.message ) ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( Descriptions, ParseBadDescription,
        testing::Values( BadDescriptionCase{ "NotJson", R"({ "surfaces": [ )",
                             ": the text is not JSON" },
            BadDescriptionCase{ "NotAnObject", "[]",
                ": the description must be a JSON object" },
            BadDescriptionCase{ "NoSurfaces", R"({ "blocks": [] })",
                ": \"surfaces\" must be a non-empty array" },
            BadDescriptionCase{ "UnknownRootKey",
                R"({ "surfaces": [ { "file": "a.ts", "role": "bottom" } ], "block": [] })",
                ": unknown key \"block\"" },
            BadDescriptionCase{ "UnknownRole",
                with_entry( R"({ "file": "b.ts", "role": "salt" })" ),
                " surfaces[1]: unknown role \"salt\"" },
            BadDescriptionCase{ "MissingRole",
                with_entry( R"({ "file": "b.ts" })" ),
                " surfaces[1]: \"role\" is missing" },
            BadDescriptionCase{ "MissingFile",
                with_entry( R"({ "role": "fault" })" ),
                " surfaces[1]: \"file\" is missing" },
            BadDescriptionCase{ "EmptyFile",
                with_entry( R"({ "file": "", "role": "fault" })" ),
                " surfaces[1]: \"file\" is empty" },
            BadDescriptionCase{ "PartNotAString",
                with_entry(
                    R"({ "file": "b.ts", "part": 3, "role": "fault" })" ),
                " surfaces[1]: \"part\" must be a string" },
            BadDescriptionCase{ "CollectionKeyOfAnotherRole",
                with_entry(
                    R"({ "file": "b.ts", "role": "fault", "horizon": "H1" })" ),
                " surfaces[1]: unknown key \"horizon\"" },
            BadDescriptionCase{ "CollectionKeyForTheTopography",
                with_entry(
                    R"({ "file": "b.ts", "role": "topography", "topography": "T" })" ),
                " surfaces[1]: unknown key \"topography\"" },
            BadDescriptionCase{ "EntryNotAnObject", with_entry( R"("b.ts")" ),
                " surfaces[1]: a surface entry must be a JSON object" },
            BadDescriptionCase{ "BlocksNotAnArray",
                R"({ "surfaces": [ { "file": "a.ts", "role": "bottom" } ], "blocks": {} })",
                ": \"blocks\" must be an array" },
            BadDescriptionCase{ "BlockWithoutName",
                with_block( R"({ "surfaces": [ "a" ] })" ),
                " blocks[0]: \"name\" is missing" },
            BadDescriptionCase{ "BlockWithoutSurfaces",
                with_block( R"({ "name": "b", "surfaces": [] })" ),
                " blocks[0]: \"surfaces\" must be a non-empty array" },
            BadDescriptionCase{ "BlockSurfaceNotAName",
                with_block( R"({ "name": "b", "surfaces": [ 1 ] })" ),
                " blocks[0]: \"surfaces\" must hold surface names" } ),
        []( const testing::TestParamInfo< BadDescriptionCase >& info )
        {
            return info.param.name;
        } );
} // namespace brevane
