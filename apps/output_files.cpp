#include "output_files.h"

#include <unistd.h>

#include <system_error>

#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        bool may_write( const std::filesystem::path& path )
        {
            return ::access( path.c_str(), W_OK ) == 0;
        }

        // The folder a relative file name with no folder lies in.
        std::filesystem::path folder_of( const std::filesystem::path& file )
        {
            const auto folder = file.parent_path();
            return folder.empty() ? std::filesystem::path{ "." } : folder;
        }
    } // namespace

    OutputFiles::~OutputFiles()
    {
        if( kept_ )
        {
            return;
        }
        // Latest first: files before the folders holding them.
        for( auto path = created_.rbegin(); path != created_.rend(); path++ )
        {
            std::error_code ignored;
            std::filesystem::remove_all( *path, ignored );
        }
    }

    void OutputFiles::create_folder_of( const std::filesystem::path& file )
    {
        const auto folder = file.parent_path();
        if( folder.empty() || std::filesystem::is_directory( folder ) )
        {
            return;
        }
        auto highest_missing = folder;
        while( highest_missing.has_parent_path()
               && highest_missing.parent_path() != highest_missing
               && !std::filesystem::exists( highest_missing.parent_path() ) )
        {
            highest_missing = highest_missing.parent_path();
        }
        std::error_code error;
        std::filesystem::create_directories( folder, error );
        if( std::filesystem::exists( highest_missing ) )
        {
            created_.push_back( highest_missing );
        }
        if( error )
        {
            throw UsageError{ "cannot create the folder ", folder.string(),
                ": ", error.message() };
        }
    }

    void OutputFiles::record( const std::filesystem::path& path )
    {
        if( !std::filesystem::exists( path ) )
        {
            created_.push_back( path );
        }
    }

    void OutputFiles::keep()
    {
        kept_ = true;
    }

    void check_writable( const std::filesystem::path& file )
    {
        if( std::filesystem::is_directory( file ) )
        {
            throw UsageError{ "the output ", file.string(),
                " is an existing folder" };
        }
        if( std::filesystem::exists( file ) && !may_write( file ) )
        {
            throw UsageError{ "the output ", file.string(),
                " cannot be overwritten: permission denied" };
        }
        auto folder = folder_of( file );
        while( !std::filesystem::exists( folder ) && folder.has_parent_path()
               && folder.parent_path() != folder )
        {
            folder = folder.parent_path();
        }
        if( !std::filesystem::exists( folder ) )
        {
            folder = ".";
        }
        if( !std::filesystem::is_directory( folder ) )
        {
            throw UsageError{ "cannot write ", file.string(), ": ",
                folder.string(), " is not a folder" };
        }
        if( !may_write( folder ) )
        {
            throw UsageError{ "cannot write ", file.string(), ": the folder ",
                folder.string(), " is not writable" };
        }
    }
} // namespace brevane::cli
