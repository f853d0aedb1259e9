#pragma once

#include <tessark/model/structural_model.h>
#include <tessark/model/structural_model_builder.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// What is left of the model's old topology, and the links between the
// nodes of each pillar.
namespace brevane::internal
{
    // Removes every corner, then every line of the model, then the unique
    // vertices bound to nothing (the others are renumbered in order).
    VARNHOLT_PILLAR_EXPORT void remove_lines_and_corners(
        StructuralModel& model, StructuralModelBuilder& builder );

    // Links the unique vertices of consecutive distinct nodes down each
    // pillar, pillar by pillar. A node gets at most one node below and one
    // above: a later link of a node replaces its earlier one, so that the two
    // maps stay inverse of each other. Throws std::out_of_range for a
    // plan-view vertex without a pillar or without surface vertices,
    // std::bad_optional_access for an intersection whose surface has no
    // vertex on the pillar.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT PillarLinks link_pillar_vertices(
        const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices );
} // namespace brevane::internal
