#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <fstream>
#include <functional>
#include <iterator>

#include <nlohmann/json.hpp>

#include <tessark/model/structural_model_builder.h>

#include <io/model_file.h>

#include "model_file_fixtures.h"

#include <sys/stat.h>

namespace brevane
{
    using test::read_file;
    using test::write_file;

    namespace
    {
        // Edits the description of the saved model.
        void edit_description( const std::filesystem::path& files,
            const std::function< void( nlohmann::json& ) >& edit )
        {
            const auto file = files / "model.json";
            auto description = nlohmann::json::parse( read_file( file ) );
            edit( description );
            write_file( file, description.dump( 1 ) );
        }

        // The value of an attribute in the XML element around position.
        std::string attribute( const std::string& content, std::size_t position,
            const std::string& key )
        {
            const auto begin = content.rfind( '<', position );
            const auto end = content.find( '>', position );
            const auto at = content.find( " " + key + "=\"", begin );
            EXPECT_LT( at, end ) << key;
            const auto value = at + key.size() + 3;
            return content.substr( value, content.find( '"', value ) - value );
        }

        // Overwrites value number index of the named array of a mesh file.
        void patch_array( const std::filesystem::path& file,
            const std::string& name, std::size_t index, std::int64_t value )
        {
            auto content = read_file( file );
            const auto tag = content.find( "Name=\"" + name + "\"" );
            ASSERT_NE( tag, std::string::npos ) << name;
            const auto type = attribute( content, tag, "type" );
            const std::size_t size =
                type == "Int64" || type == "Float64"
                    ? 8
                    : ( type == "UInt32" ? 4 : 1 );
            const auto data =
                content.find( '_', content.find( "<AppendedData" ) ) + 1;
            const auto position =
                data + std::stoull( attribute( content, tag, "offset" ) )
                + sizeof( std::uint64_t ) + index * size;
            ASSERT_LE( position + size, content.size() );
            // Little endian: the low bytes of the value come first.
            std::memcpy( content.data() + position, &value, size );
            write_file( file, content );
        }

        void replace_in_file( const std::filesystem::path& file,
            const std::string& text, const std::string& replacement )
        {
            auto content = read_file( file );
            const auto found = content.find( text );
            ASSERT_NE( found, std::string::npos ) << text;
            write_file(
                file, content.replace( found, text.size(), replacement ) );
        }

        void truncate( const std::filesystem::path& file, std::size_t size )
        {
            std::filesystem::resize_file( file, size );
        }

        // Where the appended data of a mesh file starts.
        std::size_t appended_data( const std::filesystem::path& file )
        {
            const auto content = read_file( file );
            return content.find( '_', content.find( "<AppendedData" ) ) + 1;
        }

        // One way to break a saved every_kind_model, and the error it gives.
        struct Breakage
        {
            std::string name;
            // Gets the folder of the mesh files and the description.
            std::function< void( const std::filesystem::path& ) > apply;
            // The file the message names, and a piece of what it says of the
            // fault.
            std::string file;
            std::string fault;
        };

        std::vector< Breakage > breakages()
        {
            return {
                { "mesh file truncated in its arrays",
                    []( const auto& files )
                    {
                        const auto file = files / "surface_0.vtp";
                        truncate( file, appended_data( file ) + 40 );
                    },
                    "surface_0.vtp",
                    "the file is truncated: it does not end with </VTKFile>" },
                { "more points declared than the file holds",
                    []( const auto& files )
                    {
                        replace_in_file( files / "line_0.vtp",
                            "NumberOfPoints=\"3\"",
                            "NumberOfPoints=\"100000\"" );
                    },
                    "line_0.vtp",
                    "array \"Points\" runs past the end of the "
                    "file: it needs 2400000 bytes" },
                { "fewer points declared than the array holds",
                    []( const auto& files )
                    {
                        replace_in_file( files / "line_0.vtp",
                            "NumberOfPoints=\"3\"", "NumberOfPoints=\"2\"" );
                    },
                    "line_0.vtp",
                    "array \"Points\" holds 72 bytes where 6 "
                    "values of Float64 take 48" },
                { "mesh file truncated in its head",
                    []( const auto& files )
                    {
                        truncate( files / "block_0.vtu", 300 );
                    },
                    "block_0.vtu",
                    "no <AppendedData> element: the file is "
                    "truncated" },
                { "another format version",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["version"] = 2;
                            } );
                    },
                    "model.json",
                    "format version 2 is not supported: this "
                    "library reads version 1" },
                { "relation from a missing component",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["relations"][0]["from"] =
                                    "01234567-89ab-4def-8123-456789abcdef";
                            } );
                    },
                    "model.json",
                    "relations[0].from names "
                    "01234567-89ab-4def-8123-456789abcdef, which "
                    "is no component or collection of the "
                    "model" },
                { "collection item in a missing collection",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                for( auto& relation : description["relations"] )
                                {
                                    if( relation["kind"] == "item" )
                                    {
                                        relation["to"] =
                                            "01234567-89ab-4def-8123-"
                                            "456789abcdef";
                                        return;
                                    }
                                }
                            } );
                    },
                    "model.json",
                    "].to names 01234567-89ab-4def-8123-"
                    "456789abcdef, which is no component or "
                    "collection of the model" },
                { "polygon vertex index out of range",
                    []( const auto& files )
                    {
                        patch_array(
                            files / "surface_1.vtp", "connectivity", 1, 99 );
                    },
                    "surface_1.vtp",
                    "polygon 0 uses vertex 99 but the file "
                    "has 7 points" },
                { "polygon vertex index equal to the number of points",
                    []( const auto& files )
                    {
                        patch_array(
                            files / "surface_1.vtp", "connectivity", 1, 7 );
                    },
                    "surface_1.vtp",
                    "polygon 0 uses vertex 7 but the file has 7 points" },
                { "more points declared than a mesh can hold",
                    []( const auto& files )
                    {
                        replace_in_file( files / "line_0.vtp",
                            "NumberOfPoints=\"3\"",
                            "NumberOfPoints=\"4294967295\"" );
                    },
                    "line_0.vtp",
                    "NumberOfPoints 4294967295 is more than a mesh can hold" },
                { "the most points a mesh can hold declared",
                    []( const auto& files )
                    {
                        replace_in_file( files / "line_0.vtp",
                            "NumberOfPoints=\"3\"",
                            "NumberOfPoints=\"4294967294\"" );
                    },
                    "line_0.vtp", "array \"Points\" runs past the end" },
                { "edge vertex index out of range",
                    []( const auto& files )
                    {
                        patch_array(
                            files / "line_0.vtp", "connectivity", 3, -1 );
                    },
                    "line_0.vtp",
                    "edge 1 uses vertex -1 but the file has 3 "
                    "points" },
                { "missing mesh file",
                    []( const auto& files )
                    {
                        std::filesystem::remove( files / "line_0.vtp" );
                    },
                    "line_0.vtp", "the file is missing" },
                { "missing description",
                    []( const auto& files )
                    {
                        std::filesystem::remove( files / "model.json" );
                    },
                    "model.json", "the file is missing" },
                { "unique vertex out of range of the description",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["nb_unique_vertices"] = 2;
                            } );
                    },
                    "line_1.vtp",
                    "vertex 1 is bound to unique vertex 2 but "
                    "the model has 2 unique vertices" },
                { "unique vertex out of range in a mesh file",
                    []( const auto& files )
                    {
                        patch_array(
                            files / "block_0.vtu", "unique_vertex", 0, 1000 );
                    },
                    "block_0.vtu",
                    "vertex 0 is bound to unique vertex 1000 "
                    "but the model has 6 unique vertices" },
                { "unique vertex rank out of range",
                    []( const auto& files )
                    {
                        patch_array( files / "corner_0.vtp",
                            "unique_vertex_rank", 0, 7 );
                    },
                    "corner_0.vtp",
                    "vertex 0 has rank 7 in unique vertex 0, "
                    "which binds 3 component vertices" },
                // The first rank past the end: a unique vertex binding n
                // component vertices has the ranks 0 to n - 1.
                { "unique vertex rank equal to the count",
                    []( const auto& files )
                    {
                        patch_array( files / "corner_0.vtp",
                            "unique_vertex_rank", 0, 3 );
                    },
                    "corner_0.vtp",
                    "vertex 0 has rank 3 in unique vertex 0, "
                    "which binds 3 component vertices" },
                { "unique vertex equal to the count in a mesh file",
                    []( const auto& files )
                    {
                        patch_array(
                            files / "block_0.vtu", "unique_vertex", 0, 6 );
                    },
                    "block_0.vtu",
                    "vertex 0 is bound to unique vertex 6 "
                    "but the model has 6 unique vertices" },
                // Checked before anything is allocated for them.
                { "more unique vertices than the files hold",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["nb_unique_vertices"] = 400000000;
                            } );
                    },
                    "model.json",
                    "\"nb_unique_vertices\" is 400000000 but the mesh files "
                    "hold " },
                { "point with an infinite coordinate",
                    []( const auto& files )
                    {
                        patch_array( files / "line_0.vtp", "Points", 4,
                            std::bit_cast< std::int64_t >(
                                std::numeric_limits< double >::infinity() ) );
                    },
                    "line_0.vtp",
                    "point 1 (0.5 inf 0) has a coordinate that is not a "
                    "finite number" },
                { "point with an undefined coordinate",
                    []( const auto& files )
                    {
                        patch_array( files / "block_0.vtu", "Points", 0,
                            std::bit_cast< std::int64_t >(
                                std::numeric_limits< double >::quiet_NaN() ) );
                    },
                    "block_0.vtu", "point 0 (nan " },
                // Only regular files are read: a named pipe would hang the
                // load, a folder or a device is no mesh file.
                { "mesh file replaced by a named pipe",
                    []( const auto& files )
                    {
                        const auto file = files / "surface_0.vtp";
                        std::filesystem::remove( file );
                        ASSERT_EQ( ::mkfifo( file.c_str(), 0600 ), 0 );
                    },
                    "surface_0.vtp",
                    "this is a named pipe (FIFO), not a regular file" },
                { "description replaced by a folder",
                    []( const auto& files )
                    {
                        std::filesystem::remove( files / "model.json" );
                        std::filesystem::create_directory(
                            files / "model.json" );
                    },
                    "model.json", "this is a folder, not a regular file" },
                { "mesh file replaced by a link to a device",
                    []( const auto& files )
                    {
                        const auto file = files / "line_1.vtp";
                        std::filesystem::remove( file );
                        std::filesystem::create_symlink( "/dev/zero", file );
                    },
                    "line_1.vtp", "this is a device, not a regular file" },
                { "unique vertex rank taken twice",
                    []( const auto& files )
                    {
                        patch_array( files / "corner_0.vtp",
                            "unique_vertex_rank", 0, 0 );
                    },
                    "line_0.vtp",
                    "vertex 0 has rank 0 in unique vertex 0, "
                    "as has vertex 0 of Corner " },
                { "unknown cell type",
                    []( const auto& files )
                    {
                        patch_array( files / "block_0.vtu", "types", 2, 42 );
                    },
                    "block_0.vtu", "cell 2 has the VTK type 42" },
                { "decreasing offsets",
                    []( const auto& files )
                    {
                        patch_array( files / "surface_0.vtp", "offsets", 1, 2 );
                    },
                    "surface_0.vtp",
                    "the offset of cell 1 (2) is below the "
                    "one before (3)" },
                { "quadrangle in a triangulated surface",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["components"][5]["mesh"] =
                                    "TriangulatedSurface";
                            } );
                    },
                    "surface_1.vtp",
                    "polygon 0 has 4 vertices in a "
                    "triangulated surface" },
                { "mesh kind of another component kind",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["components"][4]["mesh"] =
                                    "HybridSolid";
                            } );
                    },
                    "model.json",
                    "components[4]: a Surface cannot have a "
                    "HybridSolid mesh" },
                { "relation a model cannot hold",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                auto& relation = description["relations"][0];
                                std::swap( relation["from"], relation["to"] );
                            } );
                    },
                    "model.json",
                    "relations[0]: a boundary relation from Line " },
                { "uuid used twice",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["collections"][2]["uuid"] =
                                    description["components"][0]["uuid"];
                            } );
                    },
                    "model.json", "collections[2]: uuid " },
                { "mesh file outside the folder",
                    []( const auto& files )
                    {
                        edit_description( files,
                            []( nlohmann::json& description )
                            {
                                description["components"][0]["file"] =
                                    "../corner_0.vtp";
                            } );
                    },
                    "model.json",
                    "components[0].file \"../corner_0.vtp\" is "
                    "not a file name of the model's folder" },
                { "description that is not JSON",
                    []( const auto& files )
                    {
                        write_file( files / "model.json", "{ \"format\": " );
                    },
                    "model.json", "not valid JSON: " },
                { "mesh file of another dataset type",
                    []( const auto& files )
                    {
                        std::filesystem::copy_file( files / "block_1.vtu",
                            files / "surface_2.vtp",
                            std::filesystem::copy_options::overwrite_existing );
                    },
                    "surface_2.vtp",
                    "not a VTK XML PolyData file (type "
                    "\"UnstructuredGrid\")" },
            };
        }
    } // namespace

    TEST( ModelFileErrors, broken_files_are_refused_with_the_file_and_fault )
    {
        const auto model = test::every_kind_model();
        for( const auto& breakage : breakages() )
        {
            SCOPED_TRACE( breakage.name );
            test::TemporaryFolder folder;
            const auto path = folder.path() / "model.vtm";
            save_model( model, path );
            breakage.apply( folder.path() / "model_files" );
            try
            {
                (void)load_model( path );
                ADD_FAILURE() << "the broken model was loaded";
            }
            catch( const TessarkException& error )
            {
                const std::string message{ error.what() };
                EXPECT_EQ( message.rfind( "[load_model] ", 0 ), 0 ) << message;
                EXPECT_NE( message.find( "/" + breakage.file + ": " ),
                    std::string::npos )
                    << message;
                EXPECT_NE( message.find( breakage.fault ), std::string::npos )
                    << message;
            }
        }
    }

    // The unique vertices may number as many as the vertices of the mesh
    // files (some bound to nothing), not one more.
    TEST( ModelFileErrors, unique_vertices_at_most_the_vertices_of_the_files )
    {
        const auto model = test::every_kind_model();
        test::TemporaryFolder folder;
        const auto path = folder.path() / "model.vtm";
        save_model( model, path );
        std::int64_t nb_vertices{ 0 };
        const auto description = nlohmann::json::parse(
            read_file( folder.path() / "model_files" / "model.json" ) );
        for( const auto& component : description["components"] )
        {
            const auto content = read_file( folder.path() / "model_files"
                                            / component["file"].get< std::string >() );
            const auto at = content.find( "NumberOfPoints=\"" ) + 16;
            nb_vertices += std::stoll( content.substr( at ) );
        }
        const auto set_count = [&]( std::int64_t count )
        {
            edit_description( folder.path() / "model_files",
                [&]( nlohmann::json& description )
                {
                    description["nb_unique_vertices"] = count;
                } );
        };
        set_count( nb_vertices );
        EXPECT_EQ( load_model( path ).nb_unique_vertices(), nb_vertices );
        set_count( nb_vertices + 1 );
        try
        {
            (void)load_model( path );
            ADD_FAILURE() << "the model was loaded";
        }
        catch( const TessarkException& error )
        {
            EXPECT_EQ( std::string{ error.what() },
                concatenate( "[load_model] ",
                    ( folder.path() / "model_files" / "model.json" ).string(),
                    ": \"nb_unique_vertices\" is ", nb_vertices + 1,
                    " but the mesh files hold ", nb_vertices,
                    " vertices in all" ) );
        }
    }

    // Cut anywhere, a mesh file is refused with its name.
    TEST( ModelFileErrors, mesh_file_cut_at_any_length )
    {
        test::TemporaryFolder folder;
        const auto path = folder.path() / "model.vtm";
        save_model( test::every_kind_model(), path );
        const auto file = folder.path() / "model_files" / "line_0.vtp";
        const auto content = read_file( file );
        // Up to the end of the closing tag: what follows is a line end.
        const auto end = content.rfind( "</VTKFile>" ) + 10;
        for( std::size_t length = 0; length < end; length += 5 )
        {
            SCOPED_TRACE( length );
            write_file( file, content.substr( 0, length ) );
            try
            {
                (void)load_model( path );
                ADD_FAILURE() << "the cut file was loaded";
            }
            catch( const TessarkException& error )
            {
                const std::string message{ error.what() };
                EXPECT_NE( message.find( "line_0.vtp: " ), std::string::npos )
                    << message;
            }
        }
    }

    TEST( ModelFileErrors, missing_multiblock_file )
    {
        test::TemporaryFolder folder;
        const auto path = folder.path() / "model.vtm";
        save_model( test::every_kind_model(), path );
        std::filesystem::remove( path );
        try
        {
            (void)load_model( path );
            FAIL() << "a missing file was loaded";
        }
        catch( const TessarkException& error )
        {
            EXPECT_EQ( std::string{ error.what() },
                "[load_model] " + path.string() + ": the file is missing" );
        }
    }

    TEST( ModelFileErrors, save_names_what_it_cannot_write )
    {
        test::TemporaryFolder folder;
        // A file stands where the folder of the meshes should go.
        write_file( folder.path() / "model_files", "" );
        const auto model = test::every_kind_model();
        try
        {
            save_model( model, folder.path() / "model.vtm" );
            FAIL() << "the model was saved";
        }
        catch( const TessarkException& error )
        {
            const std::string message{ error.what() };
            EXPECT_NE(
                message.find( "[save_model] "
                              + ( folder.path() / "model_files" ).string()
                              + ": this is a file where the model's folder "
                                "would be written" ),
                std::string::npos )
                << message;
        }
    }

    TEST( ModelFileErrors, save_refuses_what_a_file_cannot_hold )
    {
        const std::vector< std::pair< std::string,
            std::function< void( StructuralModel& ) > > >
            cases{ { "edge with an unset end",
                       []( StructuralModel& model )
                       {
                           StructuralModelBuilder builder{ model };
                           const auto& line = builder.add_line();
                           builder.set_name( line, "broken line" );
                           builder.line_mesh_builder( line )->create_edge();
                       } },
                // The first vertex past the end of an empty mesh.
                { "binding of vertex 0 of an empty surface",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder builder{ model };
                        const auto& surface = builder.add_surface();
                        builder.set_name( surface, "broken surface" );
                        builder.set_unique_vertex(
                            { model.surface( surface ).component_id(), 0 },
                            0 );
                    } },
                { "binding of a vertex the mesh does not have",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder builder{ model };
                        const auto& surface = builder.add_surface();
                        builder.set_name( surface, "broken surface" );
                        builder.set_unique_vertex(
                            { model.surface( surface ).component_id(), 10 },
                            0 );
                    } } };
        for( const auto& [name, apply] : cases )
        {
            SCOPED_TRACE( name );
            auto model = test::every_kind_model();
            apply( model );
            test::TemporaryFolder folder;
            try
            {
                save_model( model, folder.path() / "model.vtm" );
                ADD_FAILURE() << "the model was saved";
            }
            catch( const TessarkException& error )
            {
                const std::string message{ error.what() };
                EXPECT_EQ( message.rfind( "[save_model] ", 0 ), 0 ) << message;
                EXPECT_NE( message.find( "\"broken " ), std::string::npos )
                    << message;
            }
        }
    }
} // namespace brevane
