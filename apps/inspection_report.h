#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <absl/types/span.h>

#include <pillar/pillar_structural_model_inspection_result.h>
#include <tessark/model/structural_model.h>

// The inspection of a model before a build, as the tool prints it.
namespace brevane::cli
{
    // The issues of the four records.
    [[nodiscard]] std::uint32_t nb_issues(
        const PillarStructuralModelInspectionResult& result );

    // Prints the report indented by two spaces, then a verdict line.
    void print_inspection( std::ostream& out,
        const PillarStructuralModelInspectionResult& result );

    // What makes the model unusable by any build (the checks a build runs
    // before anything else), printed one per line after a header; nothing
    // is printed when there is none.
    std::vector< std::string > print_input_problems( std::ostream& out,
        const StructuralModel& model, absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces );

    // Inspects the model with a builder of its own, prints the report and
    // returns its result.
    PillarStructuralModelInspectionResult inspect_and_print( std::ostream& out,
        StructuralModel& model, absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces );
} // namespace brevane::cli
