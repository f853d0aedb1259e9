#pragma once

#include <halven/background/background_surface_constraint_modifier.h>
#include <halven/decimation/triangulated_surface_optimizer_improvement_simulator.h>

namespace brevane::internal
{
    // Improves the shape of the live triangles of a background surface by
    // local changes through the constraint modifier, each kept only when the
    // simulator finds the triangles it creates better than those it replaces
    // (see TriangulatedSurfaceOptimizerImprovementSimulator):
    // - flips of inner edges without macro edge records;
    // - moves of free vertices (not on the border, without macro vertex
    //   records or incident macro edges) to the barycentre of their
    //   neighbours, or halfway there when that is not better or not valid.
    // Changes are simulated: the new triangles are evaluated on a scratch
    // surface holding just them, so the surface changes only for a kept
    // change.
    //
    // The first pass tries to flip every inner edge (triangles in index
    // order), then to move every vertex (in index order); each later pass
    // tries again only the edges and vertices whose surroundings the changes
    // of the previous pass changed. It stops after a pass without changes,
    // or after nb_passes passes (0 for the default of 4).
    // Throws a TessarkException when nb_passes is negative.
    void optimize_background_surface_elements(
        BackgroundSurfaceConstraintModifier& modifier,
        TriangulatedSurfaceOptimizerImprovementSimulator< 2 >& simulator,
        int nb_passes );
} // namespace brevane::internal
