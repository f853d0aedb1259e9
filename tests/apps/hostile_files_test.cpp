#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>

#include "tool_run.h"

// The tool against a file system prepared by someone else: links planted
// where it writes, special files where it reads, counts larger than the
// files, folders it may not write, a disk that fills up. Each run fails at
// once with a message naming the path, and leaves every file as it was.
namespace brevane
{
    namespace
    {
        std::string read_file( const std::filesystem::path& file )
        {
            std::ifstream in{ file, std::ios::binary };
            return { std::istreambuf_iterator< char >{ in }, {} };
        }

        void write_file(
            const std::filesystem::path& file, const std::string& content )
        {
            std::ofstream{ file, std::ios::binary | std::ios::trunc }
                << content;
        }

        // Every path under the folder with what it is: the bytes of a
        // file, the target of a link, "folder" or "special file".
        std::map< std::string, std::string > snapshot(
            const std::filesystem::path& folder )
        {
            std::map< std::string, std::string > entries;
            for( const auto& entry :
                std::filesystem::recursive_directory_iterator( folder ) )
            {
                const auto name =
                    std::filesystem::relative( entry.path(), folder ).string();
                entries[name] =
                    entry.is_symlink()
                        ? "link to "
                              + std::filesystem::read_symlink( entry.path() )
                                    .string()
                    : entry.is_directory()    ? std::string{ "folder" }
                    : entry.is_regular_file() ? read_file( entry.path() )
                                              : std::string{ "special file" };
            }
            return entries;
        }

        // The tool run from the folder by a shell that first applies the
        // limits (ulimit options, or nothing), under a time limit: a run
        // that hangs ends with the exit code of timeout, 124.
        test::ToolRun run_limited( const std::filesystem::path& folder,
            const std::string& limits,
            const std::vector< std::string >& arguments )
        {
            const auto outputs = folder.parent_path();
            const auto out_file =
                outputs / ( folder.filename().string() + ".out" );
            const auto err_file =
                outputs / ( folder.filename().string() + ".err" );
            std::string command{ "cd '" };
            command.append( folder.string() );
            command.append( "' && ( " );
            if( !limits.empty() )
            {
                command.append( "ulimit " );
                command.append( limits );
                command.append( " && " );
            }
            command.append( "exec timeout 60 '" );
            command.append( BREVANE_TOOL );
            command.append( "'" );
            for( const auto& argument : arguments )
            {
                command.append( " '" );
                command.append( argument );
                command.append( "'" );
            }
            command.append( " ) > '" );
            command.append( out_file.string() );
            command.append( "' 2> '" );
            command.append( err_file.string() );
            command.append( "'" );
            const auto status = std::system( command.c_str() );
            test::ToolRun run;
            run.exit_code = WIFEXITED( status ) ? WEXITSTATUS( status ) : -1;
            run.out = read_file( out_file );
            run.err = read_file( err_file );
            std::filesystem::remove( out_file );
            std::filesystem::remove( err_file );
            return run;
        }

        // A small sample, with the defects the repair mends when asked.
        std::vector< std::string > sample( const std::string& file,
            const std::string& top_triangles = "100" )
        {
            return { "sample", "--horizons", "1", "--faults", "1",
                "--top-triangles", top_triangles, "-o", file };
        }

        void replace_all( const std::filesystem::path& file,
            const std::string& pattern, const std::string& replacement )
        {
            write_file( file, std::regex_replace( read_file( file ),
                                  std::regex{ pattern }, replacement ) );
        }

        // A planted link to a file the user may write.
        void plant_link( const std::filesystem::path& folder,
            const std::string& link )
        {
            write_file( folder / "victim.txt", "keep me" );
            std::filesystem::remove( folder / link );
            std::filesystem::create_symlink(
                std::filesystem::absolute( folder / "victim.txt" ),
                folder / link );
        }

        std::string description_naming( const std::string& file )
        {
            return R"({ "surfaces": [ { "file": ")" + file
                   + R"(", "role": "topography" } ] })";
        }

        struct HostileCase
        {
            std::string name;
            // Prepares the folder the tool runs from, running the tool
            // through run when it needs a model written first.
            std::function< void( const std::filesystem::path&,
                const std::function< void(
                    const std::vector< std::string >& ) >& ) >
                prepare;
            // ulimit options of the run, if any.
            std::string limits;
            std::vector< std::string > arguments;
            // What the one-line error says.
            std::string message;
        };

        std::vector< HostileCase > hostile_cases()
        {
            return {
                { "sample over a link in the model's folder",
                    []( const auto& folder, const auto& run )
                    {
                        run( sample( "s.vtm" ) );
                        plant_link( folder, "s_files/surface_0.vtp" );
                    },
                    "", sample( "s.vtm" ),
                    "[save_model] s_files/surface_0.vtp: this is a symbolic "
                    "link where a file would be written; it is neither "
                    "followed nor replaced" },
                { "build over a link in the model's folder",
                    []( const auto& folder, const auto& run )
                    {
                        run( sample( "s.vtm" ) );
                        run( { "build", "s.vtm", "-o", "p.vtm" } );
                        plant_link( folder, "p_files/model.json" );
                    },
                    "", { "build", "s.vtm", "-o", "p.vtm" },
                    "p_files/model.json: this is a symbolic link" },
                { "build over a link as the model file",
                    []( const auto& folder, const auto& run )
                    {
                        run( sample( "s.vtm" ) );
                        plant_link( folder, "p.vtm" );
                    },
                    "", { "build", "s.vtm", "-o", "p.vtm" },
                    "p.vtm: this is a symbolic link" },
                { "repair over a link in the model's folder",
                    []( const auto& folder, const auto& run )
                    {
                        auto arguments = sample( "d.vtm" );
                        arguments.insert( arguments.end(),
                            { "--defects", "off-border" } );
                        run( arguments );
                        run( { "repair", "d.vtm", "-o", "r.vtm" } );
                        plant_link( folder, "r_files/line_0.vtp" );
                    },
                    "", { "repair", "d.vtm", "-o", "r.vtm" },
                    "r_files/line_0.vtp: this is a symbolic link" },
                { "convert of a description naming a named pipe",
                    []( const auto& folder, const auto& )
                    {
                        ASSERT_EQ(
                            ::mkfifo( ( folder / "pipe.ts" ).c_str(), 0600 ),
                            0 );
                        write_file( folder / "set.json",
                            description_naming( "pipe.ts" ) );
                    },
                    "", { "convert", "set.json", "-o", "c.vtm" },
                    "pipe.ts: this is a named pipe (FIFO), not a regular "
                    "file" },
                { "convert of a description naming /dev/zero",
                    []( const auto& folder, const auto& )
                    {
                        write_file( folder / "set.json",
                            description_naming( "/dev/zero" ) );
                    },
                    "", { "convert", "set.json", "-o", "c.vtm" },
                    "[TSurf] /dev/zero: this is a device, not a regular file" },
                { "convert of a description naming a folder",
                    []( const auto& folder, const auto& )
                    {
                        std::filesystem::create_directory( folder / "sub" );
                        write_file( folder / "set.json",
                            description_naming( "sub" ) );
                    },
                    "", { "convert", "set.json", "-o", "c.vtm" },
                    "sub: this is a folder, not a regular file" },
                { "convert of a TSurf file whose header never closes",
                    []( const auto& folder, const auto& )
                    {
                        write_file( folder / "top.ts",
                            "GOCAD TSurf 1\nHEADER {\nname: top\n"
                            "VRTX 1 0 0 0\nVRTX 2 1 0 0\nVRTX 3 0 1 0\n"
                            "TRGL 1 2 3\nEND\n" );
                        write_file( folder / "set.json",
                            description_naming( "top.ts" ) );
                    },
                    "", { "convert", "set.json", "-o", "c.vtm" },
                    "top.ts line 2: the HEADER block opened on this line by "
                    "\"{\" is never closed" },
                // Refused before anything is allocated for them: the run
                // has less memory than the count would take.
                { "inspect of a model with more unique vertices than its "
                  "files",
                    []( const auto& folder, const auto& run )
                    {
                        run( sample( "s.vtm" ) );
                        replace_all( folder / "s_files" / "model.json",
                            "\"nb_unique_vertices\": [0-9]+",
                            "\"nb_unique_vertices\": 400000000" );
                    },
                    "-v 1000000", { "inspect", "s.vtm" },
                    "\"nb_unique_vertices\" is 400000000 but the mesh files "
                    "hold " },
                { "inspect of a mesh file with more points than it holds",
                    []( const auto& folder, const auto& run )
                    {
                        run( sample( "s.vtm" ) );
                        replace_all( folder / "s_files" / "surface_0.vtp",
                            "NumberOfPoints=\"[0-9]+\"",
                            "NumberOfPoints=\"400000000\"" );
                    },
                    "-v 1000000", { "inspect", "s.vtm" },
                    "s_files/surface_0.vtp: array \"Points\" runs past the "
                    "end of the file" },
                // A disk that fills up half way: a larger model over a
                // smaller one, with a limit between their sizes.
                { "sample on a full disk",
                    []( const auto&, const auto& run )
                    {
                        run( sample( "s.vtm" ) );
                    },
                    "-f 64", sample( "s.vtm", "4000" ),
                    "writing failed: File too large (is the disk full or the "
                    "file size limited?)" },
            };
        }

        class HostileFiles : public test::ToolTest
        {
        };
    } // namespace

    TEST_F( HostileFiles, each_case_fails_at_once_and_changes_nothing )
    {
        for( const auto& hostile : hostile_cases() )
        {
            SCOPED_TRACE( hostile.name );
#if defined( __SANITIZE_ADDRESS__ )
            // The address sanitizer reserves terabytes of shadow memory at
            // start-up, which a limit on virtual memory forbids.
            if( hostile.limits.rfind( "-v", 0 ) == 0 )
            {
                continue;
            }
#endif
            const auto folder = this->folder() / "case";
            std::filesystem::remove_all( folder );
            std::filesystem::create_directories( folder );
            hostile.prepare( folder,
                [&]( const std::vector< std::string >& arguments )
                {
                    const auto run = test::run_tool( arguments, folder );
                    ASSERT_EQ( run.exit_code, 0 ) << run.err;
                } );
            const auto before = snapshot( folder );
            const auto run =
                run_limited( folder, hostile.limits, hostile.arguments );
            EXPECT_EQ( run.exit_code, 2 ) << run.out << run.err;
            EXPECT_EQ( test::nb_lines( run.err ), 1 ) << run.err;
            EXPECT_THAT( run.err, testing::HasSubstr( hostile.message ) );
            EXPECT_EQ( snapshot( folder ), before );
        }
    }

    // A folder the user may not write: refused, the previous model kept.
    // Root writes anyway, so the case only runs for other users.
    TEST_F( HostileFiles, read_only_output_folder )
    {
        if( ::geteuid() == 0 )
        {
            GTEST_SKIP() << "root may write in a read-only folder";
        }
        const auto folder = this->folder() / "read_only";
        std::filesystem::create_directories( folder );
        ASSERT_EQ( test::run_tool( sample( "s.vtm" ), folder ).exit_code, 0 );
        const auto before = snapshot( folder );
        std::filesystem::permissions( folder,
            std::filesystem::perms::owner_read
                | std::filesystem::perms::owner_exec );
        const auto run = run_limited( this->folder(), "", sample( "read_only/s.vtm" ) );
        std::filesystem::permissions(
            folder, std::filesystem::perms::owner_all );
        EXPECT_EQ( run.exit_code, 2 ) << run.err;
        EXPECT_THAT( run.err, testing::HasSubstr( "read_only" ) );
        EXPECT_EQ( snapshot( folder ), before );
    }
} // namespace brevane
