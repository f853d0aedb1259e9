"""Meshes and models out through meshio and back, and TSurf files from
Python."""

import meshio
import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark

# meshio's cell type of each PolyhedronType value.
CELL_TYPES = {0: "tetra", 1: "pyramid", 2: "wedge", 3: "hexahedron"}


@pytest.fixture
def built_sample(small_sample):
    builder = pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    builder.build(pillar.PillarStructuralModelOptions())
    return small_sample


def cell_counts(mesh):
    counts = {}
    for block in mesh.cells:
        counts[block.type] = counts.get(block.type, 0) + len(block.data)
    return counts


def read_back(mesh, path):
    meshio.write(path, mesh)
    return meshio.read(path)


def test_a_triangulated_surface_round_trips_through_a_file(small_sample, tmp_path):
    surface = small_sample.model.surface(small_sample.top_surfaces[0])
    mesh = surface.mesh.to_meshio()
    assert np.array_equal(mesh.points, surface.mesh.points)
    [block] = mesh.cells
    assert block.type == "triangle" and np.array_equal(block.data, surface.mesh.triangles)
    assert mesh.field_data[str(surface.id)].tolist() == [0, 2]
    loaded = read_back(mesh, tmp_path / "surface.vtu")
    assert np.allclose(loaded.points, surface.mesh.points)
    assert np.array_equal(loaded.cells[0].data, surface.mesh.triangles)
    assert loaded.cell_data["component"][0].tolist() == [0] * surface.mesh.nb_polygons


def test_polygons_go_to_blocks_by_size(built_sample):
    side = built_sample.model.surface(built_sample.side_x_min.items[0]).mesh
    assert isinstance(side, tessark.PolygonalSurface)
    mesh = side.to_meshio()
    sizes = np.diff(side.polygon_offsets)
    expected = {"triangle": int(np.sum(sizes == 3)), "quad": int(np.sum(sizes == 4))}
    expected["polygon"] = int(np.sum(sizes > 4))
    assert cell_counts(mesh) == {kind: count for kind, count in expected.items() if count}
    polygons = {
        tuple(side.polygon_vertices[side.polygon_offsets[p] : side.polygon_offsets[p + 1]])
        for p in range(side.nb_polygons)
    }
    assert {tuple(cell) for block in mesh.cells for cell in block.data} == polygons


def test_a_block_round_trips_with_its_cell_kinds(built_sample, tmp_path):
    block = built_sample.model.blocks()[0]
    solid = block.mesh
    mesh = solid.to_meshio()
    kinds = np.bincount(solid.polyhedron_types, minlength=4)
    expected = {CELL_TYPES[kind]: int(count) for kind, count in enumerate(kinds) if count}
    assert cell_counts(mesh) == expected and "wedge" in expected
    loaded = read_back(mesh, tmp_path / "block.vtu")
    assert cell_counts(loaded) == expected
    assert np.allclose(loaded.points, solid.points)
    # meshio numbers a wedge's vertices as we number a prism's.
    prisms = [
        solid.polyhedron_vertices[solid.polyhedron_offsets[c] : solid.polyhedron_offsets[c + 1]]
        for c in np.flatnonzero(solid.polyhedron_types == 2)
    ]
    wedges = np.concatenate([b.data for b in loaded.cells if b.type == "wedge"])
    assert [list(p) for p in prisms] == wedges.tolist()


def test_vtk_reads_the_cells_written_through_meshio_with_our_volumes(built_sample, tmp_path):
    vtk = pytest.importorskip("vtk")
    from vtk.util.numpy_support import vtk_to_numpy

    solid = built_sample.model.blocks()[0].mesh
    path = tmp_path / "block.vtu"
    meshio.write(path, solid.to_meshio())
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(str(path))
    sizes = vtk.vtkCellSizeFilter()
    sizes.SetInputConnection(reader.GetOutputPort())
    sizes.ComputeVolumeOn()
    sizes.Update()
    volumes = vtk_to_numpy(sizes.GetOutput().GetCellData().GetArray("Volume"))
    # Every cell positive for VTK too, wedges included, with the volumes the
    # library gives (up to how each splits a non-planar facet).
    assert len(volumes) == solid.nb_polyhedra and np.all(volumes > 0)
    assert np.allclose(np.sort(volumes), np.sort(solid.polyhedron_volumes), rtol=1e-3)


def test_the_whole_model_round_trips_with_component_ids(built_sample, tmp_path):
    model = built_sample.model
    mesh = model.to_meshio()
    assert np.array_equal(mesh.points, model.unique_vertex_positions())
    components = model.surfaces() + model.blocks()
    assert len(mesh.field_data) == len(components)
    for index, component in enumerate(components):
        dimension = 2 if index < model.nb_surfaces() else 3
        assert mesh.field_data[str(component.id)].tolist() == [index, dimension]
    loaded = read_back(mesh, tmp_path / "model.vtu")
    assert cell_counts(loaded) == cell_counts(mesh)
    nb_cells = {index: 0 for index in range(len(components))}
    for data in loaded.cell_data["component"]:
        for index, count in zip(*np.unique(data, return_counts=True)):
            nb_cells[int(index)] += int(count)
    for index, component in enumerate(components):
        expected = (
            component.mesh.nb_polygons if index < model.nb_surfaces() else component.mesh.nb_polyhedra
        )
        assert nb_cells[index] == expected


def test_tsurf_files_written_from_python_read_back(small_sample, tmp_path):
    model = small_sample.model
    description = tessark.export_tsurf_model(model, tmp_path / "tsurf")
    assert description.name == "model.json" and description.exists()
    imported = tessark.import_tsurf_model(str(description))
    assert imported.problems == []
    assert imported.model.nb_surfaces() == model.nb_surfaces()
    assert imported.model.nb_blocks() == model.nb_blocks()
    assert len(imported.top_surfaces) == len(small_sample.top_surfaces)
    assert len(imported.bottom_surfaces) == len(small_sample.bottom_surfaces)
    assert tessark.validate_model(imported.model) == []
    builder = pillar.PillarStructuralModelBuilder(
        imported.model, imported.top_surfaces, imported.bottom_surfaces
    )
    assert builder.is_model_construction_possible().construction_possible


def test_tsurf_files_cannot_be_written_under_a_file(small_sample, tmp_path):
    blocker = tmp_path / "blocker"
    blocker.write_text("")
    with pytest.raises(tessark.TessarkError, match="blocker"):
        tessark.export_tsurf_model(small_sample.model, blocker / "tsurf")
