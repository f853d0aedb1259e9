#pragma once

#include <filesystem>
#include <vector>

// The files and folders a command creates, removed again when the command
// does not finish, so that a refused or failed command leaves nothing
// behind. Only what did not exist before is removed: a file the command
// was to overwrite stays.
namespace brevane::cli
{
    class OutputFiles
    {
    public:
        OutputFiles() = default;
        // Removes what was recorded unless keep() was called.
        ~OutputFiles();

        OutputFiles( const OutputFiles& ) = delete;
        OutputFiles& operator=( const OutputFiles& ) = delete;

        // Creates the folder of the file and the missing folders above it,
        // recording the highest one created. Throws a UsageError naming the
        // folder when it cannot be created.
        void create_folder_of( const std::filesystem::path& file );

        // Records a file or folder about to be written, when it does not
        // exist yet.
        void record( const std::filesystem::path& path );

        // What was written stays.
        void keep();

    private:
        std::vector< std::filesystem::path > created_;
        bool kept_{ false };
    };

    // Checks, before any work is done, that the file can be written: the
    // nearest existing folder above it is a folder the tool may write in,
    // and the file is not a folder (nor a file it may not overwrite).
    // Throws a UsageError naming the path otherwise.
    void check_writable( const std::filesystem::path& file );
} // namespace brevane::cli
