#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include <samples/sample_model.h>

// One defect of each kind the inspection reports, made on a valid sample
// model, so that a user can see what the inspection and the repair do.
namespace brevane::cli
{
    enum struct ModelDefect
    {
        // An inner vertex of the first top surface pushed beyond one of its
        // neighbours: the triangles between them fold over seen from above.
        folded_top,
        // A line along an inner edge of the first horizon, bounding that
        // horizon only: a line stopping inside the model.
        dangling_line,
        // The bottom vertex of the x-min side wall nearest to the middle of
        // its bottom edge moved 0.5 inwards, with every vertex sharing it:
        // off the topography border in plan view. The only kind the repair
        // mends.
        side_vertex_off_border,
        // A triangle in a surface of its own that belongs to no collection.
        untagged_surface
    };

    inline constexpr std::array< ModelDefect, 4 > ALL_MODEL_DEFECTS{
        ModelDefect::folded_top, ModelDefect::dangling_line,
        ModelDefect::side_vertex_off_border, ModelDefect::untagged_surface
    };

    // The name of the defect on the command line: "fold", "dangling-line",
    // "off-border", "untagged".
    [[nodiscard]] std::string_view defect_name( ModelDefect defect );

    // The defect of that name, none for an unknown name.
    [[nodiscard]] std::optional< ModelDefect > defect_of_name(
        std::string_view name );

    // Makes the defect on the sample; components it adds get uuids derived
    // from the key of the sample's ids (sample_id_key), as its own. Throws a
    // TessarkException when the sample is too coarse to hold it (no inner
    // vertex or inner edge where the defect goes).
    void add_defect(
        SampleModel& sample, ModelDefect defect, std::uint64_t id_key );
} // namespace brevane::cli
