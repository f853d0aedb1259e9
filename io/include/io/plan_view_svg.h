#pragma once

#include <filesystem>
#include <string>

#include <absl/types/span.h>

#include <halven/background/background_surface.h>

// Pictures of a plan view, to look at what a build did to it.
namespace brevane
{
    // Plan views with more triangles than this are drawn as an overview: a
    // picture of every triangle of a large plan view takes hundreds of
    // megabytes and shows nothing but grey.
    inline constexpr index_t PLAN_VIEW_SVG_MAX_TRIANGLES{ 20000 };

    // An SVG picture of the plan view, seen from above (y up): triangles in
    // thin grey, every edge carrying a line trace in a colour of its line
    // (the same line gets the same colour in every picture), border edges
    // in black, and a dot on each of the given vertices (those holding a
    // pillar, for instance). The picture is width pixels wide.
    //
    // A plan view of more than max_triangles triangles is drawn as an
    // overview whose size depends on the picture's, not on the plan view's:
    // no triangles, the traces and the border as one path per colour with
    // their ends on whole pixels (what falls on one pixel drawn once), the
    // dots likewise, and a note below giving the number of triangles.
    [[nodiscard]] std::string plan_view_svg(
        const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices,
        double width = 1200,
        index_t max_triangles = PLAN_VIEW_SVG_MAX_TRIANGLES );

    // Writes plan_view_svg( background, marked_vertices, width ) to the
    // file through a FileReplacement (io/safe_files.h): a failed write
    // leaves no partial picture and the previous one as it was, and a
    // symbolic link or special file in its place is refused. Throws a
    // TessarkException "[plan view] <file>: ..." naming what went wrong.
    void write_plan_view_svg( const std::filesystem::path& file,
        const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices, double width = 1200 );
} // namespace brevane
