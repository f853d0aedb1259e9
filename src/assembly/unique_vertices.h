#pragma once

#include <tessark/model/component_type.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The unique vertices of the model that tie together the surface vertices
// standing on one pillar.
namespace brevane::internal
{
    // The vertex of the surface's new mesh on the pillar of the plan-view
    // vertex. Throws std::out_of_range when no surface has a vertex on that
    // pillar, a TessarkException naming the surface and the vertex when
    // this surface has none there (it was not rebuilt over that vertex).
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT ComponentMeshVertex
    pillar_surface_vertex( const TopVertexSurfaceVertices& surface_vertices,
        index_t top_vertex, const uuid& surface );
    // The same, from the surface vertices on that pillar (found once for
    // the several look-ups of a walk down the pillar).
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT ComponentMeshVertex
    pillar_surface_vertex( const SurfaceVerticesOnPillar& on_pillar,
        index_t top_vertex, const uuid& surface );

    // Binds the vertex of every pillar intersection's surface to a unique
    // vertex. Unique vertex i is the top node of pillar i, whether or not it
    // existed before (unique vertices that end up bound to nothing are left
    // for the caller to delete). Down each pillar, an intersection shares the
    // unique vertex of the one just above when their points are equal within
    // the framework's tolerance, and gets a new one otherwise: pillar by
    // pillar, top to bottom, the new ones follow the top nodes.
    // A surface vertex on the pillar whose surface the pillar does not list
    // (a level point taken from another surface of its level) shares the
    // unique vertex of the node at its point; a TessarkException names it
    // when there is no such node.
    // Throws std::out_of_range for a plan-view vertex without a pillar or
    // without surface vertices and for a pillar without intersections,
    // std::bad_optional_access for an intersection whose surface has no
    // vertex on the pillar; the bindings made before stay.
    VARNHOLT_PILLAR_EXPORT void create_unique_vertices(
        const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices );
} // namespace brevane::internal
