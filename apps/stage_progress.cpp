#include "stage_progress.h"

#include <iostream>

namespace brevane::cli
{
    namespace
    {
        constexpr std::string_view STAGE_PREFIX{
            "[PillarStructuralModelBuilder]: "
        };
        constexpr std::string_view STARTED_SUFFIX{ " started" };
        // Stage names are padded to this width so that times line up.
        constexpr std::size_t LABEL_WIDTH{ 48 };

        // "Finding surface groups order started" -> "Finding surface groups
        // order": the line announces the start, the tool reports the end.
        std::string_view stage_name( std::string_view message )
        {
            message.remove_prefix( STAGE_PREFIX.size() );
            if( message.size() > STARTED_SUFFIX.size()
                && message.substr( message.size() - STARTED_SUFFIX.size() )
                       == STARTED_SUFFIX )
            {
                message.remove_suffix( STARTED_SUFFIX.size() );
            }
            return message;
        }
    } // namespace

    StageProgress::StageProgress( std::ostream& out, std::string first_stage )
        : out_( out ), previous_level_( Logger::level() ),
          start_( Clock::now() ), stage_( std::move( first_stage ) ),
          stage_start_( start_ )
    {
        Logger::set_level( Logger::LEVEL::trace );
        Logger::set_sink(
            [this]( Logger::LEVEL level, std::string_view message )
            {
                receive( level, message );
            } );
    }

    StageProgress::~StageProgress()
    {
        Logger::set_sink( {} );
        Logger::set_level( previous_level_ );
    }

    void StageProgress::start( std::string stage )
    {
        const auto now = Clock::now();
        close_stage( now );
        stage_ = std::move( stage );
        stage_start_ = now;
    }

    double StageProgress::finish()
    {
        const auto end = Clock::now();
        if( !finished_ )
        {
            close_stage( end );
            finished_ = true;
        }
        return milliseconds_between( start_, end );
    }

    void StageProgress::receive( Logger::LEVEL level, std::string_view message )
    {
        if( message.substr( 0, STAGE_PREFIX.size() ) == STAGE_PREFIX )
        {
            start( std::string{ stage_name( message ) } );
            return;
        }
        if( level >= previous_level_ && level >= Logger::LEVEL::warn )
        {
            std::cerr << "[" << Logger::level_name( level ) << "] " << message
                      << "\n";
        }
    }

    void StageProgress::close_stage( Clock::time_point end )
    {
        stages_.push_back(
            { stage_, milliseconds_between( stage_start_, end ) } );
        std::string label = stage_;
        if( label.size() < LABEL_WIDTH )
        {
            label.append( LABEL_WIDTH - label.size(), ' ' );
        }
        out_ << "  " << label << " "
             << format_duration( stages_.back().milliseconds ) << std::endl;
    }
} // namespace brevane::cli
