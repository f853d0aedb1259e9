#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include <tessark/basic/tessark_exception.h>

#include <halven/background/background_surface.h>

#include <io/plan_view_svg.h>
#include <io/safe_files.h>

#include "model_file_fixtures.h"
#include "support/mesh_fixtures.h"

namespace brevane
{
    using test::read_file;
    using test::write_file;

    // Only regular files are read, whatever their size; anything else is
    // refused at once with what it is.
    TEST( SafeFiles, reads_regular_files_only )
    {
        test::TemporaryFolder folder;
        const auto file = folder.path() / "data.txt";
        const std::string content( 200000, 'x' );
        write_file( file, content );
        EXPECT_EQ( read_regular_file( file, "[test] " ), content );
        std::filesystem::create_symlink( file, folder.path() / "link.txt" );
        EXPECT_EQ(
            read_regular_file( folder.path() / "link.txt", "[test] " ), content );
        write_file( folder.path() / "empty.txt", "" );
        EXPECT_EQ(
            read_regular_file( folder.path() / "empty.txt", "[test] " ), "" );

        const auto pipe = folder.path() / "pipe";
        ASSERT_EQ( ::mkfifo( pipe.c_str(), 0600 ), 0 );
        for( const auto& [path, fault] :
            std::vector< std::pair< std::filesystem::path, std::string > >{
                { folder.path() / "missing", "the file is missing" },
                { file / "below", "the file is missing" },
                { folder.path(), "this is a folder, not a regular file" },
                { pipe, "this is a named pipe (FIFO), not a regular file" },
                { "/dev/zero", "this is a device, not a regular file" },
                { "/dev/null", "this is a device, not a regular file" } } )
        {
            EXPECT_THAT(
                [&]
                {
                    static_cast< void >( read_regular_file( path, "[test] " ) );
                },
                testing::ThrowsMessage< TessarkException >( testing::StrEq(
                    "[test] " + path.string() + ": " + fault ) ) );
            EXPECT_THAT(
                [&]
                {
                    check_regular_file( path, "[test] " );
                },
                testing::ThrowsMessage< TessarkException >( testing::StrEq(
                    "[test] " + path.string() + ": " + fault ) ) );
        }
    }

    // A replacement is invisible until committed, leaves nothing behind
    // when dropped, and never writes through a link.
    TEST( SafeFiles, replacement_is_put_in_place_whole_or_not_at_all )
    {
        test::TemporaryFolder folder;
        const auto file = folder.path() / "out.txt";
        write_file( file, "previous" );
        {
            FileReplacement replacement{ file, "[test] " };
            replacement.write( "new " );
            replacement.write( "content" );
            replacement.close();
            EXPECT_EQ( read_file( file ), "previous" );
            EXPECT_EQ( test::folder_contents( folder.path() ).size(), 2u );
        }
        // Dropped without commit: the previous file alone is left.
        EXPECT_EQ( test::folder_contents( folder.path() ),
            ( std::map< std::string, std::string >{
                { "out.txt", "previous" } } ) );
        write_file_replacing( file, "new content", "[test] " );
        EXPECT_EQ( test::folder_contents( folder.path() ),
            ( std::map< std::string, std::string >{
                { "out.txt", "new content" } } ) );

        write_file( folder.path() / "victim.txt", "keep me" );
        const auto link = folder.path() / "link.txt";
        std::filesystem::create_symlink( folder.path() / "victim.txt", link );
        const auto pipe = folder.path() / "pipe";
        ASSERT_EQ( ::mkfifo( pipe.c_str(), 0600 ), 0 );
        std::filesystem::create_directory( folder.path() / "sub" );
        const auto before = test::folder_contents( folder.path() );
        for( const auto& [path, kind] :
            std::vector< std::pair< std::filesystem::path, std::string > >{
                { link, "a symbolic link" }, { pipe, "a named pipe (FIFO)" },
                { folder.path() / "sub", "a folder" } } )
        {
            EXPECT_THAT(
                [&]
                {
                    write_file_replacing( path, "text", "[test] " );
                },
                testing::ThrowsMessage< TessarkException >( testing::StrEq(
                    "[test] " + path.string() + ": this is " + kind
                    + " where a file would be written; it is neither "
                      "followed nor replaced" ) ) );
        }
        EXPECT_THAT(
            [&]
            {
                write_file_replacing(
                    folder.path() / "missing" / "out.txt", "text", "[test] " );
            },
            testing::ThrowsMessage< TessarkException >( testing::HasSubstr(
                ": cannot create a file in "
                + ( folder.path() / "missing" ).string() ) ) );
        EXPECT_EQ( test::folder_contents( folder.path() ), before );
    }

    // A link planted between the start of a write and its commit is not
    // replaced either.
    TEST( SafeFiles, target_checked_again_before_the_rename )
    {
        test::TemporaryFolder folder;
        const auto file = folder.path() / "out.txt";
        write_file( folder.path() / "victim.txt", "keep me" );
        FileReplacement replacement{ file, "[test] " };
        replacement.write( "text" );
        std::filesystem::create_symlink( folder.path() / "victim.txt", file );
        EXPECT_THROW( replacement.commit(), TessarkException );
        EXPECT_EQ( read_file( folder.path() / "victim.txt" ), "keep me" );
        EXPECT_TRUE( std::filesystem::is_symlink( file ) );
    }

    TEST( SafeFiles, plan_view_picture_written_through_a_replacement )
    {
        const auto surface = test::grid_surface< 2 >( 2, 1 );
        const internal::BackgroundSurface background{ *surface };
        test::TemporaryFolder folder;
        const auto file = folder.path() / "view.svg";
        write_plan_view_svg( file, background, {}, 400 );
        EXPECT_EQ( read_file( file ), plan_view_svg( background, {}, 400 ) );
        std::filesystem::remove( file );
        std::filesystem::create_symlink( folder.path() / "victim.svg", file );
        EXPECT_THAT(
            [&]
            {
                write_plan_view_svg( file, background, {}, 400 );
            },
            testing::ThrowsMessage< TessarkException >( testing::StartsWith(
                "[plan view] " + file.string() + ": this is a symbolic link" ) ) );
        EXPECT_FALSE( std::filesystem::exists( folder.path() / "victim.svg" ) );
    }
} // namespace brevane
