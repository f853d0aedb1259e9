#pragma once

#include <tessark/mesh/solid_mesh.h>

namespace brevane
{
    // The signed volume of a polyhedron: positive when it is positively
    // oriented (its facets turn counter-clockwise seen from outside, see
    // PolyhedronType), negative when it is inverted. Computed with the
    // divergence theorem from the polyhedron's centroid; a quadrangular
    // facet is split into four triangles around its own centroid, so the
    // result does not depend on a choice of diagonal when the facet is not
    // planar, and is exact when it is.
    [[nodiscard]] double polyhedron_volume(
        const SolidMesh< 3 >& mesh, index_t polyhedron );
} // namespace brevane
