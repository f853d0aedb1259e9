#pragma once

#include <functional>

namespace CLI
{
    class App;
} // namespace CLI

namespace brevane::cli
{
    // What the tool tells a calling script.
    enum struct ExitCode
    {
        // The command did all it was asked to.
        done = 0,
        // The inspection found issues, or the build failed.
        model_issues = 1,
        // A bad command line or an input that cannot be read.
        bad_usage = 2
    };

    // A subcommand: its parser, registered on the application with its
    // options, and what it does once the command line is parsed. The options
    // live in the run function's captures, so the parser's bindings to them
    // stay valid as long as the command. A run returns when it did all it was
    // asked to and throws otherwise (UsageError for a bad command line).
    struct Command
    {
        CLI::App* parser;
        std::function< void() > run;
    };
} // namespace brevane::cli
