#include "report_options.h"

#include <iostream>

#include <CLI/CLI.hpp>

namespace brevane::cli
{
    void add_report_options(
        CLI::App& command, ReportOptions& options, bool with_json )
    {
        auto* quiet = command.add_flag_callback(
            "-q,--quiet",
            [&options]
            {
                options.verbosity = Verbosity::quiet;
            },
            "Print nothing but errors" );
        auto* verbose = command.add_flag_callback(
            "-v,--verbose",
            [&options]
            {
                options.verbosity = Verbosity::verbose;
            },
            "Print more: the build also prints the surface groups order and "
            "the slice collections with their surfaces" );
        quiet->excludes( verbose );
        if( with_json )
        {
            auto* json = command.add_flag( "--json", options.json,
                "Print one JSON document instead of the text report (see "
                "docs/json_output.md)" );
            json->excludes( quiet );
            json->excludes( verbose );
        }
    }

    std::ostream& text_stream( const ReportOptions& options )
    {
        // A stream without a buffer drops whatever is written to it.
        static std::ostream nowhere{ nullptr };
        if( options.json || options.verbosity == Verbosity::quiet )
        {
            return nowhere;
        }
        return std::cout;
    }
} // namespace brevane::cli
