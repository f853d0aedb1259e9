#include <io/safe_files.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    namespace
    {
        std::string error_text( int error )
        {
            return std::strerror( error );
        }

        // What stands at a path that is not a regular file, for messages.
        std::string_view kind_of( mode_t mode )
        {
            if( S_ISDIR( mode ) )
            {
                return "a folder";
            }
            if( S_ISLNK( mode ) )
            {
                return "a symbolic link";
            }
            if( S_ISFIFO( mode ) )
            {
                return "a named pipe (FIFO)";
            }
            if( S_ISCHR( mode ) || S_ISBLK( mode ) )
            {
                return "a device";
            }
            if( S_ISSOCK( mode ) )
            {
                return "a socket";
            }
            return "a special file";
        }

        // Eight random hexadecimal digits: temporary names nobody can
        // guess ahead (a name taken anyway is skipped, see the callers).
        std::string random_suffix()
        {
            thread_local std::mt19937 generator{ std::random_device{}() };
            std::array< char, 9 > text{};
            std::snprintf( text.data(), text.size(), "%08x",
                static_cast< unsigned >( generator() ) );
            return text.data();
        }

        // A write past the file size limit (ulimit -f) raises SIGXFSZ,
        // which ends the process by default before the writer can clean
        // up; ignored, the write fails with EFBIG and is reported like a
        // full disk.
        void report_file_size_limit_as_error()
        {
            static std::once_flag once;
            std::call_once( once,
                []
                {
                    std::signal( SIGXFSZ, SIG_IGN );
                } );
        }

        constexpr int NB_NAME_ATTEMPTS = 16;
        // Not an errno value: the open file is not a regular file.
        constexpr int NOT_REGULAR = -1;
    } // namespace

    void check_regular_file(
        const std::filesystem::path& file, std::string_view prefix )
    {
        struct stat status{};
        if( ::stat( file.c_str(), &status ) != 0 )
        {
            throw TessarkException{ prefix, file.string(), ": ",
                errno == ENOENT || errno == ENOTDIR
                    ? std::string{ "the file is missing" }
                    : concatenate(
                        "the file cannot be opened: ", error_text( errno ) ) };
        }
        if( !S_ISREG( status.st_mode ) )
        {
            throw TessarkException{ prefix, file.string(), ": this is ",
                kind_of( status.st_mode ), ", not a regular file" };
        }
    }

    std::string read_regular_file(
        const std::filesystem::path& file, std::string_view prefix )
    {
        const auto fail = [&]( const auto&... message )
        {
            return TessarkException{ prefix, file.string(), ": ", message... };
        };
        check_regular_file( file, prefix );
        // Non-blocking, so that a named pipe put in place since the check
        // cannot hang the open; checked again on the open file.
        const int descriptor =
            ::open( file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC );
        if( descriptor < 0 )
        {
            throw fail( "the file cannot be opened: ", error_text( errno ) );
        }
        std::string content;
        const auto read_all = [&]
        {
            struct stat status{};
            if( ::fstat( descriptor, &status ) != 0 )
            {
                return errno;
            }
            if( !S_ISREG( status.st_mode ) )
            {
                return NOT_REGULAR;
            }
            content.reserve( static_cast< std::size_t >( status.st_size ) );
            std::array< char, 1 << 16 > buffer{};
            while( true )
            {
                const auto nb_read =
                    ::read( descriptor, buffer.data(), buffer.size() );
                if( nb_read < 0 )
                {
                    if( errno == EINTR )
                    {
                        continue;
                    }
                    return errno;
                }
                if( nb_read == 0 )
                {
                    return 0;
                }
                content.append(
                    buffer.data(), static_cast< std::size_t >( nb_read ) );
            }
        };
        const auto error = read_all();
        ::close( descriptor );
        if( error == NOT_REGULAR )
        {
            throw fail( "this is no longer a regular file" );
        }
        if( error != 0 )
        {
            throw fail( "the file cannot be read: ", error_text( error ) );
        }
        return content;
    }

    void check_file_target(
        const std::filesystem::path& file, std::string_view prefix )
    {
        struct stat status{};
        if( ::lstat( file.c_str(), &status ) != 0 )
        {
            if( errno == ENOENT )
            {
                return;
            }
            throw TessarkException{ prefix, file.string(),
                ": cannot check what the path is: ", error_text( errno ) };
        }
        if( !S_ISREG( status.st_mode ) )
        {
            throw TessarkException{ prefix, file.string(), ": this is ",
                kind_of( status.st_mode ),
                " where a file would be written; it is neither followed nor "
                "replaced" };
        }
    }

    template < typename... Args >
    void FileReplacement::fail( const Args&... message ) const
    {
        throw TessarkException{ prefix_, target_.string(), ": ", message... };
    }

    FileReplacement::FileReplacement(
        std::filesystem::path target, std::string_view prefix )
        : target_( std::move( target ) ), prefix_( prefix )
    {
        report_file_size_limit_as_error();
        if( !target_.has_filename() )
        {
            fail( "the path names no file" );
        }
        check_file_target( target_, prefix_ );
        const auto folder = target_.parent_path();
        const auto base =
            concatenate( ".", target_.filename().string(), ".tmp-" );
        for( int attempt = 0; attempt < NB_NAME_ATTEMPTS; attempt++ )
        {
            auto candidate = folder / concatenate( base, random_suffix() );
            // A new file only: never one that exists, never through a link.
            descriptor_ = ::open( candidate.c_str(),
                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666 );
            if( descriptor_ >= 0 )
            {
                temporary_ = std::move( candidate );
                return;
            }
            if( errno != EEXIST )
            {
                fail( "cannot create a file in ",
                    folder.empty() ? std::string{ "." } : folder.string(), ": ",
                    error_text( errno ) );
            }
        }
        fail( "cannot find a free temporary name beside it" );
    }

    FileReplacement::~FileReplacement()
    {
        if( descriptor_ >= 0 )
        {
            ::close( descriptor_ );
        }
        if( !committed_ && !temporary_.empty() )
        {
            ::unlink( temporary_.c_str() );
        }
    }

    void FileReplacement::write( std::string_view bytes )
    {
        write( bytes.data(), bytes.size() );
    }

    void FileReplacement::write( const char* bytes, std::size_t nb_bytes )
    {
        if( descriptor_ < 0 )
        {
            fail( "the file is already closed" );
        }
        while( nb_bytes > 0 )
        {
            const auto written = ::write( descriptor_, bytes, nb_bytes );
            if( written < 0 )
            {
                if( errno == EINTR )
                {
                    continue;
                }
                const auto error = errno;
                fail( "writing failed: ", error_text( error ),
                    error == ENOSPC || error == EFBIG
                        ? " (is the disk full or the file size limited?)"
                        : "" );
            }
            bytes += written;
            nb_bytes -= static_cast< std::size_t >( written );
        }
    }

    void FileReplacement::close()
    {
        if( descriptor_ < 0 )
        {
            return;
        }
        const auto result = ::close( descriptor_ );
        descriptor_ = -1;
        if( result != 0 )
        {
            fail( "writing failed: ", error_text( errno ) );
        }
    }

    void FileReplacement::commit()
    {
        close();
        check_file_target( target_, prefix_ );
        if( ::rename( temporary_.c_str(), target_.c_str() ) != 0 )
        {
            fail( "cannot put the written file in place: ", error_text( errno ) );
        }
        committed_ = true;
    }

    void write_file_replacing( const std::filesystem::path& file,
        std::string_view content, std::string_view prefix )
    {
        FileReplacement replacement{ file, prefix };
        replacement.write( content );
        replacement.commit();
    }

    std::filesystem::path create_fresh_folder(
        const std::filesystem::path& parent, std::string_view name,
        std::string_view prefix )
    {
        for( int attempt = 0; attempt < NB_NAME_ATTEMPTS; attempt++ )
        {
            auto folder = parent / concatenate( name, "-", random_suffix() );
            if( ::mkdir( folder.c_str(), 0777 ) == 0 )
            {
                return folder;
            }
            if( errno != EEXIST )
            {
                throw TessarkException{ prefix, folder.string(),
                    ": cannot create the folder: ", error_text( errno ) };
            }
        }
        throw TessarkException{ prefix, ( parent / name ).string(),
            ": cannot find a free name for a new folder" };
    }
} // namespace brevane
