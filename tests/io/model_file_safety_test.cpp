#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include <sys/stat.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <io/model_file.h>

#include "model_file_fixtures.h"

// A save only ever touches the files it names: it writes a fresh folder of
// meshes, refuses links and special files where its files go, and leaves
// the previous model whole when it fails.
namespace brevane
{
    using test::write_file;

    namespace
    {
        // Something planted in a saved model, and what the refusal says.
        struct Planting
        {
            std::string name;
            // Gets the folder holding model.vtm and model_files.
            std::function< void( const std::filesystem::path& ) > plant;
            // The path the message names, relative to that folder, and a
            // piece of what it says.
            std::string path;
            std::string fault;
        };

        std::vector< Planting > plantings()
        {
            const auto link_to_victim =
                []( const std::filesystem::path& link )
            {
                std::filesystem::remove( link );
                std::filesystem::create_symlink(
                    link.parent_path().parent_path() / "victim.txt", link );
            };
            return {
                { "link in place of a mesh file",
                    [=]( const auto& folder )
                    {
                        link_to_victim(
                            folder / "model_files" / "surface_0.vtp" );
                    },
                    "model_files/surface_0.vtp",
                    "this is a symbolic link where a file would be written; "
                    "it is neither followed nor replaced" },
                { "link in place of the description",
                    [=]( const auto& folder )
                    {
                        link_to_victim( folder / "model_files" / "model.json" );
                    },
                    "model_files/model.json", "this is a symbolic link" },
                { "link of another name in the folder",
                    []( const auto& folder )
                    {
                        std::filesystem::create_symlink(
                            folder / "victim.txt",
                            folder / "model_files" / "notes" );
                    },
                    "model_files/notes", "this is a symbolic link" },
                { "link in place of the multiblock file",
                    []( const auto& folder )
                    {
                        std::filesystem::remove( folder / "model.vtm" );
                        std::filesystem::create_symlink(
                            folder / "victim.txt", folder / "model.vtm" );
                    },
                    "model.vtm", "this is a symbolic link" },
                { "link in place of the folder",
                    []( const auto& folder )
                    {
                        std::filesystem::rename( folder / "model_files",
                            folder / "elsewhere" );
                        std::filesystem::create_directory_symlink(
                            folder / "elsewhere", folder / "model_files" );
                    },
                    "model_files",
                    "this is a symbolic link where the model's folder would "
                    "be written" },
                { "named pipe in place of a mesh file",
                    []( const auto& folder )
                    {
                        const auto file = folder / "model_files" / "line_0.vtp";
                        std::filesystem::remove( file );
                        ASSERT_EQ( ::mkfifo( file.c_str(), 0600 ), 0 );
                    },
                    "model_files/line_0.vtp",
                    "this is a named pipe (FIFO) where a file would be "
                    "written" },
                { "folder in the folder",
                    []( const auto& folder )
                    {
                        std::filesystem::create_directory(
                            folder / "model_files" / "more" );
                    },
                    "model_files/more", "this is a folder where a file" },
            };
        }

        // The model with one more corner, so that a save of it differs.
        StructuralModel other_model()
        {
            auto model = test::every_kind_model();
            StructuralModelBuilder builder{ model };
            builder.set_name( builder.add_corner(), "one more" );
            return model;
        }
    } // namespace

    // Whatever is planted is refused before anything is written: the file
    // a link points to and the previous model stay as they were.
    TEST( ModelFileSafety, planted_links_and_special_files_are_refused )
    {
        const auto model = test::every_kind_model();
        for( const auto& planting : plantings() )
        {
            SCOPED_TRACE( planting.name );
            test::TemporaryFolder folder;
            const auto path = folder.path() / "model.vtm";
            save_model( model, path );
            write_file( folder.path() / "victim.txt", "keep me" );
            planting.plant( folder.path() );
            const auto before = test::folder_contents( folder.path() );
            try
            {
                save_model( other_model(), path );
                ADD_FAILURE() << "the model was saved";
            }
            catch( const TessarkException& error )
            {
                EXPECT_THAT( error.what(),
                    testing::StartsWith( "[save_model] "
                                         + ( folder.path() / planting.path )
                                               .string()
                                         + ": " + planting.fault ) );
            }
            EXPECT_EQ( test::folder_contents( folder.path() ), before );
        }
    }

    // A save that fails half way (here on a mesh that has no file form)
    // leaves the previous model as it was and no file of its own.
    TEST( ModelFileSafety, failed_save_leaves_the_previous_model )
    {
        test::TemporaryFolder folder;
        const auto path = folder.path() / "model.vtm";
        save_model( test::every_kind_model(), path );
        const auto before = test::folder_contents( folder.path() );
        auto broken = other_model();
        {
            StructuralModelBuilder builder{ broken };
            const auto& line = builder.add_line();
            builder.line_mesh_builder( line )->create_edge();
        }
        EXPECT_THAT(
            [&]
            {
                save_model( broken, path );
            },
            testing::ThrowsMessage< TessarkException >( testing::StartsWith(
                "[save_model] "
                + ( folder.path() / "model_files" / "line_2.vtp" ).string()
                + ": " ) ) );
        EXPECT_EQ( test::folder_contents( folder.path() ), before );
        EXPECT_NO_THROW( static_cast< void >( load_model( path ) ) );
    }

    // The folder of meshes is made fresh: files of an earlier, larger
    // model do not survive a save, and no temporary file is left.
    TEST( ModelFileSafety, save_replaces_the_whole_folder )
    {
        const auto model = test::every_kind_model();
        test::TemporaryFolder first;
        test::TemporaryFolder second;
        save_model( model, first.path() / "model.vtm" );
        save_model( other_model(), second.path() / "model.vtm" );
        write_file( second.path() / "model_files" / "surface_99.vtp", "old" );
        save_model( model, second.path() / "model.vtm" );
        EXPECT_EQ( test::folder_contents( second.path() ),
            test::folder_contents( first.path() ) );
    }
} // namespace brevane
