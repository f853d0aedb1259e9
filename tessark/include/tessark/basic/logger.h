#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <tessark/basic/string_concatenation.h>

namespace brevane
{
    // Process-wide logging. A line is emitted when its level is at least the
    // current level (info by default). The sink receives every emitted line;
    // the default sink writes "[level] text" to the standard error. Emission
    // is serialised, so a sink is never called from two threads at once.
    class Logger
    {
    public:
        enum struct LEVEL
        {
            trace,
            debug,
            info,
            warn,
            error,
            critical,
            off
        };
        using Sink = std::function< void( LEVEL, std::string_view ) >;

        static void set_level( LEVEL level );
        [[nodiscard]] static LEVEL level();
        [[nodiscard]] static bool is_enabled( LEVEL level );

        // Replaces the sink; an empty function restores the default one.
        static void set_sink( Sink sink );

        [[nodiscard]] static std::string_view level_name( LEVEL level );

        static void log( LEVEL level, std::string_view message );

        template < typename... Args >
        static void trace( const Args&... message )
        {
            log_pieces( LEVEL::trace, message... );
        }
        template < typename... Args >
        static void debug( const Args&... message )
        {
            log_pieces( LEVEL::debug, message... );
        }
        template < typename... Args >
        static void info( const Args&... message )
        {
            log_pieces( LEVEL::info, message... );
        }
        template < typename... Args >
        static void warn( const Args&... message )
        {
            log_pieces( LEVEL::warn, message... );
        }
        template < typename... Args >
        static void error( const Args&... message )
        {
            log_pieces( LEVEL::error, message... );
        }
        template < typename... Args >
        static void critical( const Args&... message )
        {
            log_pieces( LEVEL::critical, message... );
        }

    private:
        // The message is built only when the level is enabled.
        template < typename... Args >
        static void log_pieces( LEVEL level, const Args&... message )
        {
            if( is_enabled( level ) )
            {
                log( level, concatenate( message... ) );
            }
        }
    };
} // namespace brevane
