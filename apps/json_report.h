#pragma once

#include <string_view>

#include <nlohmann/json.hpp>

#include <pillar/pillar_structural_model_inspection_result.h>
#include <tessark/model/structural_model.h>

#include "build_report.h"
#include "model_repair.h"

// The reports of inspect, repair and build as JSON documents, for scripts;
// docs/json_output.md gives their schema.
namespace brevane::cli
{
    // The members every document starts with: "command", "version" and
    // "model" (the origin of the model).
    [[nodiscard]] nlohmann::ordered_json json_document(
        std::string_view command, std::string_view origin );

    // The four checks, each with its issues and the components they concern
    // (named from the model).
    [[nodiscard]] nlohmann::ordered_json inspection_json(
        const StructuralModel& model,
        const PillarStructuralModelInspectionResult& result );

    // The inspections before and after the repair and what it moved.
    [[nodiscard]] nlohmann::ordered_json repair_json(
        const StructuralModel& model, const RepairReport& report );

    // The inspection, the stages with their times, and for a rebuilt model
    // its summary, validation, distances, slices, surface groups order and
    // files.
    [[nodiscard]] nlohmann::ordered_json build_json(
        const StructuralModel& model, const BuildReport& report );

    // Writes the document, with its exit code, on the standard output.
    void print_json( nlohmann::ordered_json document, int exit_code );
} // namespace brevane::cli
