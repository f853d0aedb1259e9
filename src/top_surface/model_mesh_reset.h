#pragma once

#include <tessark/model/brep_builder.h>

#include <pillar/top_surface_plan_view.h>
#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // Gives every surface and block of the model a new empty mesh, to be
    // rebuilt from the pillars: a polygonal surface for each side wall (a
    // model boundary in neither list), a triangulated surface for every
    // other surface, a hybrid solid for each block. Unique vertices bound to
    // the old meshes are unbound.
    VARNHOLT_PILLAR_EXPORT void reset_model_meshes(
        const TopSurfaceContext& context, BRepBuilder& builder );
} // namespace brevane::internal
