#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include <io/tsurf_part.h>

namespace brevane
{
    // Reads the triangulated surfaces of a GOCAD TSurf file: one part per
    // TFACE of every "GOCAD TSurf" object of the file (an object without
    // TFACE is one part), in file order. The parts of an object are named
    // after its HEADER name, or after the file stem when it has none; see
    // TSurfPart::name.
    //
    // Understood: VRTX and PVRTX (property values ignored), ATOM and PATOM
    // (a new id for an existing vertex: both ids give the same point of the
    // part), TRGL, TFACE, BSTONE and BORDER (checked, the borders are found
    // again from the triangles), ZPOSITIVE Depth (z becomes -z), HEADER
    // blocks (only the name is read) and END. Comment lines (#), other
    // keywords and brace blocks are skipped, and so are objects of other
    // kinds (PLine, VSet...). Vertex ids are per object, in any order and
    // with gaps, and must be defined before they are used. A part keeps
    // the points its triangles use, in definition order. TFACEs without
    // triangles are dropped.
    //
    // Throws a TessarkException naming the file and the line for a vertex
    // defined twice, a reference to an undefined vertex, a value that is not
    // a finite number where one is needed, a missing value, a triangle that
    // repeats a vertex, and a file without any triangle.
    [[nodiscard]] std::vector< TSurfPart > read_tsurf(
        const std::filesystem::path& path );

    // The same, from the text of a file; name_for_messages stands for the
    // file in messages, and its stem names objects without HEADER name.
    [[nodiscard]] std::vector< TSurfPart > read_tsurf_text(
        std::string_view text, std::string_view name_for_messages );
} // namespace brevane
