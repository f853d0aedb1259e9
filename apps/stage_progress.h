#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <tessark/basic/logger.h>

#include "report_format.h"

namespace brevane::cli
{
    // A stage of a build and the time it took, in milliseconds.
    struct StageTime
    {
        std::string name;
        double milliseconds{ 0 };
    };

    // Prints one line per stage of a build with the time it took, from the
    // trace line the builder logs when each stage starts
    // ("[PillarStructuralModelBuilder]: <stage>"): a stage lasts until the
    // next one starts, the last one until finish(). For its lifetime it
    // owns the process-wide logger (trace level, its own sink); other
    // messages of warning level and above go to the standard error. The
    // destructor restores the default sink and the level found.
    class StageProgress
    {
    public:
        // The first stage runs from now to the builder's first line.
        StageProgress( std::ostream& out, std::string first_stage );
        ~StageProgress();

        StageProgress( const StageProgress& ) = delete;
        StageProgress& operator=( const StageProgress& ) = delete;

        // Ends the current stage, printing its line, and starts the next
        // one; for steps of the tool's own, which the builder does not
        // announce.
        void start( std::string stage );

        // Prints the last stage; returns the time since construction, in
        // milliseconds.
        double finish();

        // The stages printed so far, in order.
        [[nodiscard]] const std::vector< StageTime >& stages() const
        {
            return stages_;
        }

    private:
        void receive( Logger::LEVEL level, std::string_view message );
        void close_stage( Clock::time_point end );

        std::ostream& out_;
        Logger::LEVEL previous_level_;
        Clock::time_point start_;
        std::string stage_;
        Clock::time_point stage_start_;
        bool finished_{ false };
        std::vector< StageTime > stages_;
    };
} // namespace brevane::cli
