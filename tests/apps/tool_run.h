#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// The command-line tool run as a process, as a script would run it.
namespace brevane::test
{
    struct ToolRun
    {
        int exit_code{ -1 };
        std::string out;
        std::string err;
    };

    // Runs the built tool with the arguments, from the folder, and collects
    // its exit code and both outputs.
    [[nodiscard]] ToolRun run_tool( const std::vector< std::string >& arguments,
        const std::filesystem::path& folder );

    // The docs/ folder of the source tree.
    [[nodiscard]] std::filesystem::path docs_folder();

    // The number of lines of the text (a last line without a line break
    // counts).
    [[nodiscard]] std::size_t nb_lines( const std::string& text );

    // A test with a fresh folder of its own, removed after it; the tool
    // runs from there.
    class ToolTest : public ::testing::Test
    {
    protected:
        void SetUp() override;
        void TearDown() override;

        [[nodiscard]] ToolRun run(
            const std::vector< std::string >& arguments ) const
        {
            return run_tool( arguments, folder_ );
        }
        [[nodiscard]] const std::filesystem::path& folder() const
        {
            return folder_;
        }

    private:
        std::filesystem::path folder_;
    };

    // The arguments of a small sample written to the file: one horizon,
    // one fault, about 100 top triangles, and the defects given.
    [[nodiscard]] std::vector< std::string > small_sample_arguments(
        const std::string& file,
        const std::vector< std::string >& defects = {} );
} // namespace brevane::test
