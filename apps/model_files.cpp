#include "model_files.h"

#include <system_error>

#include <io/model_file.h>

#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        // Where a model file keeps its meshes and description.
        std::filesystem::path meshes_folder( const std::filesystem::path& file )
        {
            return file.parent_path() / ( file.stem().string() + "_files" );
        }
    } // namespace

    StructuralModel read_model_file( const std::filesystem::path& path )
    {
        if( !std::filesystem::is_regular_file( path ) )
        {
            throw UsageError{ "no model file ", path.string() };
        }
        try
        {
            return load_model( path );
        }
        catch( const std::exception& error )
        {
            throw UsageError{ "cannot read the model file ", path.string(),
                ": ", error.what() };
        }
    }

    void check_model_file_path( const std::filesystem::path& path )
    {
        if( path.extension() != ".vtm" )
        {
            throw UsageError{ "the model file name ", path.string(),
                " does not end in .vtm" };
        }
        check_writable( path );
        const auto meshes = meshes_folder( path );
        if( std::filesystem::exists( meshes )
            && !std::filesystem::is_directory( meshes ) )
        {
            throw UsageError{ "cannot write the model file ", path.string(),
                ": its folder of meshes ", meshes.string(),
                " is an existing file" };
        }
    }

    void write_model_file( const StructuralModel& model,
        const std::filesystem::path& path, OutputFiles& outputs )
    {
        outputs.create_folder_of( path );
        outputs.record( path );
        outputs.record( meshes_folder( path ) );
        try
        {
            save_model( model, path );
        }
        catch( const std::exception& error )
        {
            throw UsageError{ "cannot write the model file ", path.string(),
                ": ", error.what() };
        }
    }
} // namespace brevane::cli
