#pragma once

#include <string>
#include <vector>

#include <tessark/geometry/basic_objects.h>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_modifier.h>

namespace brevane::internal::test
{
    // The live vertex closest to the point, NO_ID when none is closer than
    // the tolerance.
    [[nodiscard]] index_t vertex_at( const BackgroundSurface& background,
        const BackgroundSurfaceModifier& modifier,
        const Point2D& point );

    // Everything wrong with the chain of the record: the active edges
    // carrying it must form one simple path between the vertices at the two
    // ends of the segment, every vertex of it closer than `tolerance` to the
    // segment. Empty when the chain is right.
    [[nodiscard]] std::vector< std::string > chain_problems(
        const BackgroundSurface& background,
        const BackgroundSurfaceModifier& modifier,
        const MeshEdge& record,
        const Segment2D& segment,
        double tolerance );
} // namespace brevane::internal::test
