#include <tessark/basic/logger.h>

#include <atomic>
#include <iostream>
#include <mutex>

namespace
{
    using brevane::Logger;

    std::atomic< Logger::LEVEL >& current_level()
    {
        static std::atomic< Logger::LEVEL > level{ Logger::LEVEL::info };
        return level;
    }

    std::mutex& sink_mutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    void default_sink( Logger::LEVEL level, std::string_view message )
    {
        std::cerr << "[" << Logger::level_name( level ) << "] " << message
                  << '\n';
    }

    // Guarded by sink_mutex().
    Logger::Sink& current_sink()
    {
        static Logger::Sink sink{ default_sink };
        return sink;
    }
} // namespace

namespace brevane
{
    void Logger::set_level( LEVEL level )
    {
        current_level().store( level );
    }

    Logger::LEVEL Logger::level()
    {
        return current_level().load();
    }

    bool Logger::is_enabled( LEVEL level )
    {
        return level != LEVEL::off && level >= Logger::level();
    }

    void Logger::set_sink( Sink sink )
    {
        std::lock_guard< std::mutex > lock{ sink_mutex() };
        current_sink() = sink ? std::move( sink ) : Sink{ default_sink };
    }

    std::string_view Logger::level_name( LEVEL level )
    {
        switch( level )
        {
        case LEVEL::trace:
            return "trace";
        case LEVEL::debug:
            return "debug";
        case LEVEL::info:
            return "info";
        case LEVEL::warn:
            return "warn";
        case LEVEL::error:
            return "error";
        case LEVEL::critical:
            return "critical";
        case LEVEL::off:
            return "off";
        }
        return "unknown";
    }

    void Logger::log( LEVEL level, std::string_view message )
    {
        if( !is_enabled( level ) )
        {
            return;
        }
        std::lock_guard< std::mutex > lock{ sink_mutex() };
        current_sink()( level, message );
    }
} // namespace brevane
