#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <tessark/basic/logger.h>

namespace brevane
{
    namespace
    {
        // Captures the emitted lines for the life of a test and restores
        // the default level and sink afterwards.
        class CapturedLog
        {
        public:
            CapturedLog()
            {
                Logger::set_sink(
                    [this]( Logger::LEVEL level, std::string_view message ) {
                        lines.emplace_back( concatenate(
                            Logger::level_name( level ), ":", message ) );
                    } );
            }
            ~CapturedLog()
            {
                Logger::set_sink( {} );
                Logger::set_level( Logger::LEVEL::info );
            }

            std::vector< std::string > lines;
        };
    } // namespace

    TEST( Logger, default_level_is_info )
    {
        EXPECT_EQ( Logger::level(), Logger::LEVEL::info );
        CapturedLog log;
        Logger::trace( "hidden" );
        Logger::debug( "hidden" );
        Logger::info( "shown ", 3 );
        Logger::critical( "alarm" );
        EXPECT_EQ( log.lines,
            ( std::vector< std::string >{ "info:shown 3", "critical:alarm" } ) );
    }

    TEST( Logger, trace_lines_reach_the_sink_once_enabled )
    {
        CapturedLog log;
        Logger::set_level( Logger::LEVEL::trace );
        Logger::trace( "[Stage]: ", "started ", 2.5 );
        Logger::set_level( Logger::LEVEL::off );
        Logger::critical( "silenced" );
        EXPECT_EQ( log.lines,
            ( std::vector< std::string >{ "trace:[Stage]: started 2.5" } ) );
    }

    TEST( Logger, concurrent_lines_are_serialised )
    {
        CapturedLog log;
        std::vector< std::thread > threads;
        for( int thread = 0; thread < 4; thread++ )
        {
            threads.emplace_back( [] {
                for( int line = 0; line < 500; line++ )
                {
                    Logger::info( "line" );
                }
            } );
        }
        for( auto& thread : threads )
        {
            thread.join();
        }
        EXPECT_EQ( log.lines.size(), 2000u );
    }
} // namespace brevane
