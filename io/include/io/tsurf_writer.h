#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include <absl/types/span.h>

#include <tessark/mesh/surface_mesh.h>

#include <io/tsurf_part.h>

namespace brevane
{
    // The part holding the points and triangles of a surface mesh, under
    // the given name (also its object name). Throws a TessarkException
    // naming the surface and the polygon when a polygon is not a triangle.
    [[nodiscard]] TSurfPart tsurf_part(
        std::string_view name, const SurfaceMesh< 3 >& mesh );

    // The text of a TSurf file holding the parts, one "GOCAD TSurf 1" object
    // each: a HEADER with the part's name, z as elevation, one TFACE, VRTX
    // numbered from 1 and TRGL. Coordinates are written in their shortest
    // exact form, so that reading the text gives the same points back.
    // Throws a TessarkException naming the part when it has no triangle, a
    // triangle indexes a missing point or repeats one, a coordinate is not
    // finite or its name is empty or holds a line break.
    [[nodiscard]] std::string tsurf_text( absl::Span< const TSurfPart > parts );

    // Writes tsurf_text( parts ) to the file; throws a TessarkException
    // naming the file when it cannot be written.
    void write_tsurf( absl::Span< const TSurfPart > parts,
        const std::filesystem::path& path );
} // namespace brevane
