"""Unique vertices, volumes and inspections in bulk, as numpy arrays and
structured records, checked against the one-at-a-time calls."""

import json

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from sample_support import push_side_vertex_off_border, unique_vertex_positions


def factory_sample():
    parameters = tessark.SampleModelParameters()
    parameters.nb_horizons = 2
    parameters.faults = tessark.spread_faults(parameters.box, 1)
    parameters.resolution.target_top_triangles = 400
    parameters.resolution.jitter = 0.3
    return tessark.build_sample_model(parameters)


def every_component_point(model):
    """The points of every component mesh, by component id."""
    return {
        component.component_id: component.mesh.points
        for components in (model.corners(), model.lines(), model.surfaces(), model.blocks())
        for component in components
    }


def test_unique_vertex_positions_are_those_of_their_component_vertices(small_sample):
    model = small_sample.model
    positions = model.unique_vertex_positions()
    assert positions.shape == (model.nb_unique_vertices(), 3) and positions.dtype == np.float64
    for unique_vertex in range(model.nb_unique_vertices()):
        assert np.all(unique_vertex_positions(model, unique_vertex) == positions[unique_vertex])


def test_component_unique_vertices_match_the_single_lookups(small_sample):
    model = small_sample.model
    for surface in model.surfaces()[:4] + model.lines()[:4]:
        unique_vertices = model.component_unique_vertices(surface.component_id)
        assert unique_vertices.dtype == np.uint32
        single = [
            model.unique_vertex(tessark.ComponentMeshVertex(surface.component_id, vertex))
            for vertex in range(surface.mesh.nb_vertices)
        ]
        assert unique_vertices.tolist() == single


@pytest.mark.parametrize("subset", [False, True])
def test_the_bulk_setter_moves_as_the_per_vertex_setter(subset):
    bulk, single = factory_sample(), factory_sample()
    positions = bulk.model.unique_vertex_positions()
    rng = np.random.default_rng(5)
    chosen = np.arange(len(positions))
    if subset:
        chosen = np.sort(rng.choice(len(positions), size=len(positions) // 3, replace=False))
    moved = positions[chosen] + rng.normal(scale=0.3, size=(len(chosen), 3))

    if subset:
        bulk.model.set_unique_vertex_positions(moved, chosen)
    else:
        all_moved = positions.copy()
        all_moved[chosen] = moved
        bulk.model.set_unique_vertex_positions(all_moved)
    for unique_vertex, point in zip(chosen.tolist(), moved):
        single.model.set_unique_vertex_position(unique_vertex, point.tolist())

    assert tessark.model_differences(bulk.model, single.model) == []
    expected = positions.copy()
    expected[chosen] = moved
    assert np.array_equal(bulk.model.unique_vertex_positions(), expected)
    bulk_points = every_component_point(bulk.model)
    for component_id, points in every_component_point(single.model).items():
        assert np.array_equal(bulk_points[component_id], points)


def test_the_bulk_setter_takes_any_numeric_array(small_sample):
    model = small_sample.model
    positions = model.unique_vertex_positions()
    model.set_unique_vertex_positions(positions.astype(np.float32).tolist())
    assert np.allclose(model.unique_vertex_positions(), positions, atol=1e-4)


def test_block_and_cell_volumes_of_a_built_model(small_sample):
    model = small_sample.model
    assert np.array_equal(model.block_volumes(), np.zeros(model.nb_blocks()))
    builder = pillar.PillarStructuralModelBuilder(
        model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    builder.build(pillar.PillarStructuralModelOptions())
    volumes = model.block_volumes()
    assert volumes.shape == (model.nb_blocks(),) and np.all(volumes > 0)
    for block, volume in zip(model.blocks(), volumes):
        cells = block.mesh.polyhedron_volumes
        assert cells.shape == (block.mesh.nb_polyhedra,) and np.all(cells > 0)
        assert cells.sum() == pytest.approx(volume)
    # The sample's box is 100 x 60, between a bulging bottom and hills.
    low, high = model.bounding_box()
    box = (high[0] - low[0]) * (high[1] - low[1]) * (high[2] - low[2])
    assert 0.5 * box < volumes.sum() < box


def test_a_clean_inspection_as_structured_data(small_sample):
    builder = pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    inspection = builder.is_model_construction_possible()
    assert inspection.construction_possible is True
    assert inspection.issues == {
        "lines": [], "multi_z": [], "points_too_far": [], "surfaces_collection": []
    }
    assert inspection.input_problems == []


def test_input_no_build_can_use_is_listed_beside_the_checks(small_sample):
    builder = pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.bottom_surfaces, small_sample.top_surfaces
    )
    inspection = builder.is_model_construction_possible()
    assert any("swapped" in problem for problem in inspection.input_problems)


def test_inspection_issues_name_the_vertex_and_its_position(small_sample):
    unique_vertex, before = push_side_vertex_off_border(small_sample, offset=0.5)
    builder = pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    inspection = builder.is_model_construction_possible()
    assert inspection.construction_possible is False
    [issue] = inspection.issues["points_too_far"]
    assert issue.kind == "points_too_far" and issue.unique_vertex == unique_vertex
    assert issue.position == pytest.approx(tuple(before))
    assert issue.distance == pytest.approx(0.5)
    assert issue.message in inspection.string()
    assert issue.component_id is None and issue.component_name is None


def untag_surface(sample, surface_id, folder):
    """The sample saved and loaded back with the surface taken out of every
    collection, through the model file's JSON description."""
    path = folder / "model.vtm"
    tessark.save_model(sample.model, path)
    description_path = folder / "model_files" / "model.json"
    description = json.loads(description_path.read_text(encoding="utf-8"))
    description["relations"] = [
        relation
        for relation in description["relations"]
        if not (relation["kind"] == "item" and relation["from"] == str(surface_id))
    ]
    description_path.write_text(json.dumps(description), encoding="utf-8")
    return tessark.load_model(path)


def test_inspection_issues_name_the_component(small_sample, tmp_path):
    surface_id = small_sample.horizons[0].items[0]
    model = untag_surface(small_sample, surface_id, tmp_path)
    builder = pillar.PillarStructuralModelBuilder(
        model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    inspection = builder.is_model_construction_possible()
    assert not inspection.construction_possible
    [issue] = inspection.issues["surfaces_collection"]
    assert issue.component_id == surface_id
    assert issue.component_name == model.surface(surface_id).name
    assert issue.unique_vertex is None and issue.position is None
    assert issue.message in inspection.string()
