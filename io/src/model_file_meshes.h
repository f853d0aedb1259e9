#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/solid_mesh.h>
#include <tessark/mesh/surface_mesh.h>

#include "model_file_mesh_arrays.h"

// Component meshes to and from the arrays of their VTK files. Corners are
// VTK vertices, lines VTK segments, surfaces VTK polygons, blocks VTK
// tetrahedra, pyramids, wedges and hexahedra (the wedge numbering differs
// from ours, see polyhedron_type.h: VTK's base triangle faces away from its
// top one, ours towards it). The unique-vertex arrays are left to
// model_file_unique_vertices.
namespace brevane::internal
{
    // The arrays of a mesh, without the unique-vertex ones.
    // edged_curve_arrays throws a TessarkException naming the file and the
    // owner (the component, "Line <uuid> "name"") when an edge has an unset
    // end, which no file can hold.
    [[nodiscard]] MeshArrays point_set_arrays( const PointSet< 3 >& mesh );
    [[nodiscard]] MeshArrays edged_curve_arrays( const EdgedCurve< 3 >& mesh,
        const std::filesystem::path& file, std::string_view owner );
    [[nodiscard]] MeshArrays surface_arrays( const SurfaceMesh< 3 >& mesh );
    [[nodiscard]] MeshArrays solid_arrays( const SolidMesh< 3 >& mesh );

    // The meshes of read arrays, adjacencies computed. Those with cells
    // throw a TessarkException naming the file and the cell when a cell is
    // of the wrong size or type, or uses a vertex index out of range or
    // twice.
    [[nodiscard]] std::unique_ptr< PointSet< 3 > > build_point_set(
        const MeshArrays& arrays );
    [[nodiscard]] std::unique_ptr< EdgedCurve< 3 > > build_edged_curve(
        const MeshArrays& arrays, const std::filesystem::path& file );
    // A TriangulatedSurface when triangulated, a PolygonalSurface otherwise.
    [[nodiscard]] std::unique_ptr< SurfaceMesh< 3 > > build_surface(
        const MeshArrays& arrays, bool triangulated,
        const std::filesystem::path& file );
    // A HybridSolid.
    [[nodiscard]] std::unique_ptr< SolidMesh< 3 > > build_solid(
        const MeshArrays& arrays, const std::filesystem::path& file );
} // namespace brevane::internal
