#pragma once

#include <cstdint>
#include <ostream>

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

    // Inspects the model with a builder of its own, prints the report and
    // returns its result.
    PillarStructuralModelInspectionResult inspect_and_print( std::ostream& out,
        StructuralModel& model, absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces );
} // namespace brevane::cli
