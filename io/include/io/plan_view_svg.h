#pragma once

#include <filesystem>
#include <string>

#include <absl/types/span.h>

#include <halven/background/background_surface.h>

// Pictures of a plan view, to look at what a build did to it.
namespace brevane
{
    // An SVG picture of the plan view, seen from above (y up): triangles in
    // thin grey, every edge carrying a line trace in a colour of its line
    // (the same line gets the same colour in every picture), border edges
    // in black, and a dot on each of the given vertices (those holding a
    // pillar, for instance). The picture is width pixels wide.
    [[nodiscard]] std::string plan_view_svg(
        const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices,
        double width = 1200 );

    // Writes plan_view_svg( background, marked_vertices, width ) to the
    // file through a FileReplacement (io/safe_files.h): a failed write
    // leaves no partial picture and the previous one as it was, and a
    // symbolic link or special file in its place is refused. Throws a
    // TessarkException "[plan view] <file>: ..." naming what went wrong.
    void write_plan_view_svg( const std::filesystem::path& file,
        const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices, double width = 1200 );
} // namespace brevane
