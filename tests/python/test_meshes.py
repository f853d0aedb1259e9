"""Meshes as numpy arrays, before and after a pillar build."""

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from sample_support import unique_vertex_positions

# Vertices of each PolyhedronType value.
POLYHEDRON_SIZES = {
    int(tessark.PolyhedronType.tetrahedron): 4,
    int(tessark.PolyhedronType.pyramid): 5,
    int(tessark.PolyhedronType.prism): 6,
    int(tessark.PolyhedronType.hexahedron): 8,
}


@pytest.fixture
def built_sample(small_sample):
    pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.top_surfaces, small_sample.bottom_surfaces
    ).build(pillar.PillarStructuralModelOptions())
    return small_sample


def check_points(mesh):
    points = mesh.points
    assert points.dtype == np.float64
    assert points.shape == (mesh.nb_vertices, 3)
    assert np.isfinite(points).all()


def check_polygons(mesh):
    offsets = mesh.polygon_offsets
    vertices = mesh.polygon_vertices
    assert offsets.dtype == np.uint32 and vertices.dtype == np.uint32
    assert offsets.shape == (mesh.nb_polygons + 1,)
    assert offsets[0] == 0 and offsets[-1] == len(vertices)
    assert (np.diff(offsets.astype(np.int64)) >= 3).all()
    assert (vertices < mesh.nb_vertices).all()


def check_surface(mesh):
    check_points(mesh)
    check_polygons(mesh)
    if isinstance(mesh, tessark.TriangulatedSurface):
        triangles = mesh.triangles
        assert triangles.dtype == np.uint32
        assert triangles.shape == (mesh.nb_polygons, 3)
        np.testing.assert_array_equal(
            mesh.polygon_offsets, np.arange(0, 3 * mesh.nb_polygons + 1, 3)
        )
        np.testing.assert_array_equal(mesh.polygon_vertices, triangles.ravel())


def check_line(mesh):
    check_points(mesh)
    edges = mesh.edges
    assert edges.dtype == np.uint32
    assert edges.shape == (mesh.nb_edges, 2) and mesh.nb_edges > 0
    assert (edges < mesh.nb_vertices).all()


def check_solid(mesh):
    check_points(mesh)
    types = mesh.polyhedron_types
    offsets = mesh.polyhedron_offsets
    vertices = mesh.polyhedron_vertices
    assert types.dtype == np.uint8 and types.shape == (mesh.nb_polyhedra,)
    assert offsets.dtype == np.uint32 and offsets.shape == (mesh.nb_polyhedra + 1,)
    assert vertices.dtype == np.uint32 and offsets[-1] == len(vertices)
    sizes = [POLYHEDRON_SIZES[int(kind)] for kind in types]
    np.testing.assert_array_equal(np.diff(offsets.astype(np.int64)), sizes)
    assert (vertices < mesh.nb_vertices).all()


def check_model_meshes(model):
    for corner in model.corners():
        assert isinstance(corner.mesh, tessark.PointSet)
        check_points(corner.mesh)
        assert corner.mesh.nb_vertices == 1
    for line in model.lines():
        assert isinstance(line.mesh, tessark.EdgedCurve)
        check_line(line.mesh)
    for surface in model.surfaces():
        assert isinstance(surface.mesh, tessark.SurfaceMesh)
        check_surface(surface.mesh)
    for block in model.blocks():
        assert isinstance(block.mesh, tessark.HybridSolid)
        check_solid(block.mesh)


def test_input_meshes_as_arrays(small_sample):
    check_model_meshes(small_sample.model)
    top = small_sample.model.surface(small_sample.top_surfaces[0]).mesh
    assert isinstance(top, tessark.TriangulatedSurface)
    assert top.impl_name == "TessarkTriangulatedSurface3D"
    assert top.component_id.id == small_sample.top_surfaces[0]


def test_rebuilt_meshes_as_arrays(built_sample):
    model = built_sample.model
    check_model_meshes(model)
    kinds = {type(surface.mesh) for surface in model.surfaces()}
    assert tessark.PolygonalSurface in kinds
    assert any(block.mesh.nb_polyhedra > 0 for block in model.blocks())


def test_mesh_vertices_stand_at_their_unique_vertex(built_sample):
    model = built_sample.model
    for surface in model.surfaces():
        points = surface.mesh.points
        for vertex in range(0, surface.mesh.nb_vertices, 7):
            unique_vertex = model.unique_vertex(
                tessark.ComponentMeshVertex(surface.component_id, vertex)
            )
            positions = unique_vertex_positions(model, unique_vertex)
            np.testing.assert_allclose(
                positions, np.tile(points[vertex], (len(positions), 1)), atol=1e-6
            )


def test_writing_into_an_array_leaves_the_mesh_unchanged(small_sample):
    mesh = small_sample.model.surface(small_sample.top_surfaces[0]).mesh
    points = mesh.points
    kept = points.copy()
    points[:] = 0
    np.testing.assert_array_equal(mesh.points, kept)


def test_arrays_stay_as_they_were_when_the_model_changes(small_sample):
    mesh = small_sample.model.surface(small_sample.top_surfaces[0]).mesh
    points = mesh.points
    kept = points.copy()
    pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.top_surfaces, small_sample.bottom_surfaces
    ).build(pillar.PillarStructuralModelOptions())
    np.testing.assert_array_equal(points, kept)
    assert mesh.points.shape != kept.shape


def test_a_mesh_handle_checks_the_kind_of_the_current_mesh(small_sample):
    model = small_sample.model
    wall = model.surface(small_sample.side_x_min.items[0])
    mesh = wall.mesh
    assert isinstance(mesh, tessark.TriangulatedSurface)
    pillar.PillarStructuralModelBuilder(
        model, small_sample.top_surfaces, small_sample.bottom_surfaces
    ).build(pillar.PillarStructuralModelOptions())
    assert isinstance(wall.mesh, tessark.PolygonalSurface)
    message = f"The mesh of Surface {wall.id} is not a triangulated surface"
    with pytest.raises(RuntimeError, match=message):
        mesh.triangles
    assert mesh.nb_polygons == wall.mesh.nb_polygons


def test_mesh_repr_names_the_kind_and_the_component(small_sample):
    line = small_sample.model.lines()[0]
    assert repr(line.mesh) == (
        f"<TessarkEdgedCurve3D of Line {line.id}, {line.mesh.nb_vertices} vertices>"
    )
