#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Reading and writing files that may have been prepared by someone else:
// reads open regular files only (never a named pipe, a device or a folder,
// which could hang or never end), and writes go to a fresh file beside the
// target that is renamed over it once complete, so that a failed write
// leaves the previous file as it was, and a symbolic link or a special file
// standing where the file goes is refused rather than followed.
namespace brevane
{
    // Throws a TessarkException "<prefix><file>: <what is wrong>" unless a
    // regular file (or a symbolic link to one) is at the path.
    void check_regular_file(
        const std::filesystem::path& file, std::string_view prefix );

    // The whole content of a regular file (symbolic links to one are
    // followed). Throws a TessarkException "<prefix><file>: <what is
    // wrong>" when the file is missing, is a folder, a named pipe, a device
    // or another special file, or cannot be read.
    [[nodiscard]] std::string read_regular_file(
        const std::filesystem::path& file, std::string_view prefix );

    // Throws "<prefix><file>: ..." when something other than a regular file
    // stands at the path (a symbolic link, a folder, a named pipe, a
    // device...), so that nothing is written through or over it. A missing
    // file passes.
    void check_file_target(
        const std::filesystem::path& file, std::string_view prefix );

    // A file written under a temporary name in the folder of its target,
    // renamed over the target by commit(). The target is checked with
    // check_file_target when the writing starts and again before the
    // rename. Destroyed without commit (after an error), the temporary file
    // is removed and the target is left as it was. Errors are
    // TessarkExceptions "<prefix><file>: ...".
    class FileReplacement
    {
    public:
        FileReplacement(
            std::filesystem::path target, std::string_view prefix );
        FileReplacement( const FileReplacement& ) = delete;
        FileReplacement& operator=( const FileReplacement& ) = delete;
        ~FileReplacement();

        void write( std::string_view bytes );
        void write( const char* bytes, std::size_t nb_bytes );

        // Closes the temporary file; the file is complete and stays under
        // its temporary name until commit.
        void close();

        // Closes when not done yet, then renames the temporary file to the
        // target.
        void commit();

        [[nodiscard]] const std::filesystem::path& target() const
        {
            return target_;
        }

    private:
        template < typename... Args >
        [[noreturn]] void fail( const Args&... message ) const;

        std::filesystem::path target_;
        std::string prefix_;
        std::filesystem::path temporary_;
        int descriptor_{ -1 };
        bool committed_{ false };
    };

    // Writes the content to the file through a FileReplacement.
    void write_file_replacing( const std::filesystem::path& file,
        std::string_view content, std::string_view prefix );

    // A new empty folder "<prefix_name>-<random>" in the given folder,
    // created by this call (never one that already existed). Throws a
    // TessarkException "<prefix><folder>: ..." when it cannot be made.
    [[nodiscard]] std::filesystem::path create_fresh_folder(
        const std::filesystem::path& parent, std::string_view name,
        std::string_view prefix );
} // namespace brevane
