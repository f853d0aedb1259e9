#include "model_file_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "model_file_error.h"

namespace brevane::internal
{
    namespace
    {
        constexpr std::string_view SAVE_PREFIX = "[save_model] ";

        // The previous folder, when there is one, holds regular files
        // only; the first other entry in name order is refused.
        void check_previous_folder( const std::filesystem::path& folder )
        {
            std::error_code error;
            const auto status = std::filesystem::symlink_status( folder, error );
            if( !std::filesystem::exists( status ) )
            {
                return;
            }
            if( !std::filesystem::is_directory( status ) )
            {
                throw save_error( folder, "this is ",
                    std::filesystem::is_symlink( status ) ? "a symbolic link"
                    : std::filesystem::is_regular_file( status )
                        ? "a file"
                        : "a special file",
                    " where the model's folder would be written; it is "
                    "neither followed nor replaced" );
            }
            std::vector< std::filesystem::path > entries;
            for( const auto& entry :
                std::filesystem::directory_iterator{ folder, error } )
            {
                entries.push_back( entry.path() );
            }
            if( error )
            {
                throw save_error( folder,
                    "cannot list the folder of the previous model: ",
                    error.message() );
            }
            std::sort( entries.begin(), entries.end() );
            for( const auto& entry : entries )
            {
                check_file_target( entry, SAVE_PREFIX );
            }
        }

        // Renames, or throws naming both paths.
        void rename_path( const std::filesystem::path& from,
            const std::filesystem::path& to )
        {
            if( std::rename( from.c_str(), to.c_str() ) != 0 )
            {
                throw save_error( to, "cannot rename ", from.string(),
                    " to it: ", std::strerror( errno ) );
            }
        }
    } // namespace

    ModelFolderReplacement::ModelFolderReplacement(
        const ModelFileLayout& layout )
        : layout_( layout )
    {
        check_file_target( layout_.multiblock, SAVE_PREFIX );
        check_previous_folder( layout_.folder );
        auto parent = layout_.folder.parent_path();
        if( !parent.empty() )
        {
            std::error_code error;
            std::filesystem::create_directories( parent, error );
            if( error )
            {
                throw save_error(
                    parent, "cannot create the folder: ", error.message() );
            }
        }
        staging_ = create_fresh_folder( parent,
            concatenate( ".", layout_.folder_name, ".new" ), SAVE_PREFIX );
    }

    ModelFolderReplacement::~ModelFolderReplacement()
    {
        if( !committed_ )
        {
            std::error_code ignored;
            std::filesystem::remove_all( staging_, ignored );
        }
    }

    void ModelFolderReplacement::commit( FileReplacement& multiblock )
    {
        multiblock.close();
        // Checked again: the folder may have changed while the files were
        // written.
        check_previous_folder( layout_.folder );
        std::error_code error;
        const bool has_previous = std::filesystem::exists(
            std::filesystem::symlink_status( layout_.folder, error ) );
        std::filesystem::path previous;
        if( has_previous )
        {
            // An empty fresh folder, replaced by the previous one.
            previous = create_fresh_folder( layout_.folder.parent_path(),
                concatenate( ".", layout_.folder_name, ".old" ), SAVE_PREFIX );
            rename_path( layout_.folder, previous );
        }
        const auto restore = [&]
        {
            if( has_previous )
            {
                std::rename( previous.c_str(), layout_.folder.c_str() );
            }
        };
        try
        {
            rename_path( staging_, layout_.folder );
        }
        catch( ... )
        {
            restore();
            throw;
        }
        try
        {
            multiblock.commit();
        }
        catch( ... )
        {
            // The new files go back to the fresh folder, removed on
            // destruction.
            std::rename( layout_.folder.c_str(), staging_.c_str() );
            restore();
            throw;
        }
        committed_ = true;
        if( has_previous )
        {
            std::filesystem::remove_all( previous, error );
        }
    }
} // namespace brevane::internal
