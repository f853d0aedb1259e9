#pragma once

#include <array>
#include <memory>

#include <absl/container/flat_hash_map.h>

#include <tessark/mesh/polygonal_surface_builder.h>

#include <pillar/varnholt_pillar_export.h>

#include "assembly/assembly_context.h"

// The lateral model boundaries (model boundaries that are neither top nor
// bottom surfaces) rebuilt as walls of polygons standing between pillars.
namespace brevane::internal
{
    // A surface of a "ModelBoundary" collection that is neither a top nor a
    // bottom surface.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_lateral_boundary(
        const AssemblyContext& context, const uuid& surface );

    // The new mesh of one lateral boundary while it is built. Each unique
    // vertex gets one vertex in it, whatever the pillar and the surface it
    // is met through.
    struct VARNHOLT_PILLAR_EXPORT BoundaryMesh
    {
        // Throws a TessarkException "Cannot create mesh builder with key: "
        // followed by the key when the boundary's mesh is not a polygonal
        // surface.
        BoundaryMesh( StructuralModelBuilder& model_builder, const uuid& id );

        uuid boundary;
        std::unique_ptr< PolygonalSurfaceBuilder3D > builder;
        // Unique vertex -> vertex of the new mesh.
        absl::flat_hash_map< index_t, index_t > vertex_map;
    };

    // Rebuilds every lateral boundary that a horizon, top or bottom line
    // reaches along the border of the plan view, once each. Starting from
    // the first border edge (in polygon order) carrying such a line, the
    // border is followed forward, then backward from the start, as long as
    // its edges carry lines of the boundary; each edge gets the polygon
    // between the two level surfaces of the last two distinct boundary lines
    // it carries (build_boundary_polygon). A forward walk that comes back to
    // its start has made the whole boundary and no backward walk follows.
    // Every vertex of the new mesh is bound to the unique vertex it was made
    // for. Other lateral boundaries keep their empty mesh.
    // The level surface of a line is its first incident horizon, top, bottom
    // or fault surface. Throws std::out_of_range when an edge of a walk
    // carries fewer than two distinct boundary lines, and a TessarkException
    // when the mesh of a boundary is not a polygonal surface or a walk does
    // not come back to its start.
    VARNHOLT_PILLAR_EXPORT void build_model_boundaries(
        const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices );

    // Adds to the boundary mesh the polygon standing on the plan-view edge
    // (p0, p1) between the two surfaces: the nodes of each pillar on either
    // surface, top to bottom, a node repeating a point or a vertex already
    // taken counting once. Two nodes on each pillar give the quadrangle p0
    // upper, p0 lower, p1 lower, p1 upper; three give a triangle (the
    // surfaces meet at one pillar) in the same turn; any other count gives
    // nothing. The plan view's border runs counter-clockwise, so the polygon
    // faces out of the model.
    // Throws std::out_of_range when a plan-view vertex has no pillar or no
    // surface vertices, std::bad_optional_access when a surface met by a
    // pillar has no vertex on it, and a TessarkException when that vertex is
    // bound to no unique vertex.
    VARNHOLT_PILLAR_EXPORT void build_boundary_polygon(
        const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices,
        const std::array< index_t, 2 >& edge_vertices,
        const std::array< uuid, 2 >& surfaces, BoundaryMesh& mesh );
} // namespace brevane::internal
