#include "model_files.h"

#include <system_error>

#include <io/model_file.h>

#include "usage_error.h"

namespace brevane::cli
{
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
        if( std::filesystem::is_directory( path ) )
        {
            throw UsageError{ "the model file ", path.string(),
                " is an existing folder" };
        }
    }

    void create_folder_of( const std::filesystem::path& file )
    {
        const auto folder = file.parent_path();
        if( folder.empty() )
        {
            return;
        }
        std::error_code error;
        std::filesystem::create_directories( folder, error );
        if( error )
        {
            throw UsageError{ "cannot create the folder ", folder.string(),
                ": ", error.message() };
        }
    }

    void write_model_file(
        const StructuralModel& model, const std::filesystem::path& path )
    {
        create_folder_of( path );
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
