#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// How the tool writes numbers and text blocks.
namespace brevane::cli
{
    using Clock = std::chrono::steady_clock;

    [[nodiscard]] double milliseconds_between(
        Clock::time_point start, Clock::time_point end );

    // "12.3 ms", or "12.34 s" from ten seconds on.
    [[nodiscard]] std::string format_duration( double milliseconds );

    // The text with every line indented by the prefix and each tab at the
    // start of a line replaced by four spaces; the result ends with a line
    // break when the text is not empty.
    [[nodiscard]] std::string indent_lines(
        std::string_view text, std::string_view prefix );

    // "1 horizon", "2 horizons": the count and the noun, plural with an
    // "s" unless the count is one.
    [[nodiscard]] std::string counted(
        std::size_t count, std::string_view noun );

    // "<indent><label padded to a fixed width> <value>\n", so that the
    // values of a block of rows line up.
    void print_row( std::ostream& out, std::string_view indent,
        std::string_view label, std::string_view value );

    // The text on one line: every line break replaced by "; ".
    [[nodiscard]] std::string one_line( std::string_view text );
} // namespace brevane::cli
