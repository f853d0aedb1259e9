#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <pillar/pillar_structural_model_inspection_result.h>
#include <tessark/inspection/model_validation.h>

#include "horizon_distances.h"
#include "model_summary.h"
#include "stage_progress.h"

// What a build did, as the text and JSON reports tell it.
namespace brevane::cli
{
    // A component or collection of the model, by kind, id and name.
    struct NamedItem
    {
        std::string type;
        uuid id;
        std::string name;
    };

    // A slice collection of the pillar model and its surfaces.
    struct SliceCollection
    {
        NamedItem collection;
        std::vector< NamedItem > surfaces;
    };

    // A file the command wrote and what it holds ("rebuilt model").
    struct WrittenFile
    {
        std::string role;
        std::filesystem::path path;
    };

    struct BuildReport
    {
        // The file the model was read from, or "the default sample".
        std::string origin;
        // The inspection the build ran first; the build is refused when it
        // found issues.
        PillarStructuralModelInspectionResult inspection;
        // Why the build failed after the inspection, when it did.
        std::optional< std::string > failure;
        std::vector< StageTime > stages;
        double build_milliseconds{ 0 };

        // The rest is filled when the model was rebuilt.
        bool built{ false };
        bool with_cells{ false };
        std::size_t nb_slices{ 0 };
        std::size_t nb_pillars{ 0 };
        std::size_t plan_view_triangles_before{ 0 };
        std::size_t plan_view_triangles_after{ 0 };
        SurfacePolygonCounts input_polygons;
        SurfacePolygonCounts rebuilt_polygons;
        ModelCounts rebuilt_model;
        std::vector< BlockCells > block_cells;
        ModelValidationReport validation;
        std::vector< HorizonDistance > horizon_distances;
        // Top to bottom.
        std::vector< SliceCollection > slices;
        // Top to bottom, each group's surfaces in order.
        std::vector< std::vector< NamedItem > > surface_groups_order;
        std::vector< WrittenFile > files;
    };
} // namespace brevane::cli
