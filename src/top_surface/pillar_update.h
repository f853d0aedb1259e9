#pragma once

#include <vector>

#include <absl/types/span.h>

#include <halven/background/background_surface_modifier.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar_context.h"

// The pillars around the decimation of the plan view: carried over to the
// vertices that survive it, defined for every other vertex, and checked.
namespace brevane::internal
{
    // The surfaces incident to the lines through a plan-view vertex (the
    // lines of its incident macro edges), side walls excepted, each once, in
    // the order of the macro edges and of each line's incidences.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< uuid > surfaces_at_vertex(
        const PillarModelContext& context, index_t vertex );

    // The pillars of the map under the current indices of their vertices.
    // A pillar whose vertex vanished is an error (TessarkException naming
    // it); one whose vertex moved is dropped, to be defined again. A pillar
    // that misses a surface of a line now through its vertex gets that
    // surface at its point on another surface of those lines, and loses its
    // lines; one that meets none of those surfaces is an error
    // (TessarkException naming the pillar and a surface). Pillars are taken by increasing vertex, so when two land on one
    // vertex the one of the lower old vertex stays.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT PillarMap
        update_pillars_after_decimation( const PillarModelContext& context,
            const PillarMap& pillars,
            const BackgroundSurfaceModifier& modifier );

    // One pillar per plan-view vertex, in vertex order: the map's pillar
    // when it has one, otherwise a pillar defined anew. Pillars are defined
    // on the thread pool; the result does not depend on it.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< Pillar > collect_pillars(
        const PillarModelContext& context,
        const PillarMap& pillars,
        double top_z,
        double bottom_z );

    // Throws a TessarkDataException "Multi z detected between surfaces
    // belonging to the same group of surfaces", followed by the two
    // surfaces (name, uuid, height) and the pillar's position, when a pillar
    // meets one slice (the tops, one group of the order, the bottoms) at two
    // points that are not the same up to the point tolerance.
    VARNHOLT_PILLAR_EXPORT void check_pillar_slices(
        const PillarModelContext& context, absl::Span< const Pillar > pillars );
} // namespace brevane::internal
