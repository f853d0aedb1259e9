#pragma once

#include <cstdint>
#include <ostream>

namespace CLI
{
    class App;
} // namespace CLI

// How much a command prints, and in which form.
namespace brevane::cli
{
    enum struct Verbosity : std::uint8_t
    {
        // Nothing on the standard output; errors still go to the standard
        // error.
        quiet,
        normal,
        // Also the surface groups order and the slice collections with
        // their surfaces.
        verbose
    };

    struct ReportOptions
    {
        Verbosity verbosity{ Verbosity::normal };
        // One JSON document on the standard output instead of the text.
        bool json{ false };
    };

    // Adds --quiet and --verbose to the command, and --json when the command
    // has a JSON report. --json excludes the two others: the document always
    // holds everything.
    void add_report_options(
        CLI::App& command, ReportOptions& options, bool with_json );

    // Where the text report goes: the standard output, or a stream that
    // drops everything when the report is quiet or JSON.
    [[nodiscard]] std::ostream& text_stream( const ReportOptions& options );
} // namespace brevane::cli
