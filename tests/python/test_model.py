"""StructuralModel: components, relations, collections, unique vertices and
the lifetime of what Python gets from a model."""

import gc

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from sample_support import component_of, unique_vertex_positions


def test_an_empty_model():
    model = tessark.StructuralModel()
    assert model.corners() == [] and model.surfaces() == []
    assert model.nb_unique_vertices() == 0
    assert repr(model) == (
        "<StructuralModel: 0 corners, 0 lines, 0 surfaces, 0 blocks, "
        "0 horizons, 0 faults, 0 fault blocks, 0 model boundaries, "
        "0 surface collections, 0 unique vertices>"
    )


def test_component_lists_match_the_counts(small_sample):
    model = small_sample.model
    lists = [
        (model.corners(), model.nb_corners(), tessark.Corner),
        (model.lines(), model.nb_lines(), tessark.Line),
        (model.surfaces(), model.nb_surfaces(), tessark.Surface),
        (model.blocks(), model.nb_blocks(), tessark.Block),
    ]
    for components, count, kind in lists:
        assert count > 0 and len(components) == count
        assert all(isinstance(component, kind) for component in components)
        assert len({component.id for component in components}) == count
    assert model.nb_blocks() == 6
    assert repr(model).startswith(
        f"<StructuralModel: {model.nb_corners()} corners, "
        f"{model.nb_lines()} lines, {model.nb_surfaces()} surfaces, 6 blocks, "
        "2 horizons, 1 faults, 2 fault blocks, 6 model boundaries, "
    )


def test_components_are_found_by_uuid(small_sample):
    model = small_sample.model
    top = model.surface(small_sample.top_surfaces[0])
    assert top.name == "top_block_0"
    assert top.id == small_sample.top_surfaces[0]
    assert top.component_id == tessark.ComponentID("Surface", top.id)
    assert repr(top) == f"<Surface 'top_block_0' {top.id}>"
    assert model.has_surface(top.id) and not model.has_line(top.id)
    assert top == model.surfaces()[[s.id for s in model.surfaces()].index(top.id)]
    missing = tessark.uuid()
    with pytest.raises(RuntimeError, match=f"No Surface with id {missing}"):
        model.surface(missing)
    with pytest.raises(RuntimeError, match=f"No Line with id {top.id}"):
        model.line(top.id)


def test_relations_answer_both_ways(small_sample):
    model = small_sample.model
    for surface in model.surfaces():
        boundaries = model.boundaries(surface.id)
        assert boundaries and all(b.type == "Line" for b in boundaries)
        for line in boundaries:
            assert surface.component_id in model.incidences(line.id)
    for block in model.blocks():
        assert all(b.type == "Surface" for b in model.boundaries(block.id))
    for line in model.lines():
        for embedding in model.embeddings(line.id):
            assert line.component_id in model.internal_components(embedding.id)


def test_collections_hold_the_sample_items(small_sample):
    model = small_sample.model
    horizons = model.horizons()
    assert [h.name for h in horizons] == ["horizon_1", "horizon_2"]
    assert [h.id for h in horizons] == [h.id for h in small_sample.horizons]
    for horizon, expected in zip(horizons, small_sample.horizons):
        assert horizon.type == "Horizon"
        assert [item.id for item in horizon.items] == expected.items
        assert model.horizon(horizon.id) == horizon
        for item in expected.items:
            assert horizon.component_id in model.collections(item)
    assert [f.name for f in model.faults()] == ["fault_1"]
    assert len(model.fault_blocks()) == model.nb_fault_blocks() == 2
    assert {b.name for b in model.model_boundaries()} == {
        "top", "bottom", "side_x_min", "side_x_max", "side_y_min", "side_y_max"
    }
    top = model.model_boundary(small_sample.top_boundary)
    assert [item.id for item in top.items] == small_sample.top_surfaces
    assert model.items(top.id) == top.items
    assert repr(top) == (
        f"<Collection ModelBoundary 'top' {top.id}, {len(top.items)} items>"
    )
    assert model.surface_collections() == []


def test_unique_vertices_and_component_vertices_map_to_each_other(small_sample):
    model = small_sample.model
    for unique_vertex in range(model.nb_unique_vertices()):
        vertices = model.component_mesh_vertices(unique_vertex)
        assert vertices
        for vertex in vertices:
            assert model.unique_vertex(vertex) == unique_vertex
        positions = unique_vertex_positions(model, unique_vertex)
        np.testing.assert_allclose(positions, positions[[0]] * np.ones_like(positions))
    surface = model.surfaces()[0]
    unbound = tessark.ComponentMeshVertex(surface.component_id, 10**6)
    assert model.unique_vertex(unbound) is None
    with pytest.raises(RuntimeError, match=str(model.nb_unique_vertices())):
        model.component_mesh_vertices(model.nb_unique_vertices())


def test_setting_a_unique_vertex_position_moves_every_component_vertex(
    small_sample,
):
    model = small_sample.model
    unique_vertex = model.nb_unique_vertices() // 2
    target = unique_vertex_positions(model, unique_vertex)[0] + [0.1, -0.2, 0.3]
    model.set_unique_vertex_position(unique_vertex, target)
    positions = unique_vertex_positions(model, unique_vertex)
    np.testing.assert_array_equal(positions, np.tile(target, (len(positions), 1)))
    with pytest.raises(RuntimeError, match="3 coordinates, not 2"):
        model.set_unique_vertex_position(unique_vertex, [1.0, 2.0])
    with pytest.raises(RuntimeError):
        model.set_unique_vertex_position(model.nb_unique_vertices(), target)


def test_bounding_box_encloses_the_sample(small_sample):
    lower, upper = small_sample.model.bounding_box()
    assert lower[:2] == (0, 0) and upper[:2] == (100, 60)
    assert lower[2] < upper[2]


def test_clone_is_independent(small_sample):
    model = small_sample.model
    copy = model.clone()
    assert tessark.model_differences(model, copy) == []
    copy.set_unique_vertex_position(0, [1.0, 2.0, 3.0])
    assert tessark.model_differences(model, copy)
    assert tessark.model_differences(model, small_sample.model) == []


def test_components_keep_their_model_alive():
    surfaces = tessark.build_sample_model(
        tessark.small_sample_parameters(2, 1)
    ).model.surfaces()
    gc.collect()
    assert surfaces[0].mesh.points.shape[0] > 0
    collection = tessark.build_sample_model(
        tessark.small_sample_parameters(1, 0)
    ).model.horizons()[0]
    gc.collect()
    assert collection.name == "horizon_1"


def test_components_gone_after_a_build_raise_instead_of_dangling(small_sample):
    model = small_sample.model
    line = model.lines()[0]
    line_mesh = line.mesh
    top = model.surface(small_sample.top_surfaces[0])
    top_mesh = top.mesh
    nb_top_vertices = top_mesh.nb_vertices
    pillar.PillarStructuralModelBuilder(
        model, small_sample.top_surfaces, small_sample.bottom_surfaces
    ).build(pillar.PillarStructuralModelOptions())
    with pytest.raises(RuntimeError, match=f"No Line with id {line.id}"):
        line.name
    with pytest.raises(RuntimeError, match=f"No Line with id {line.id}"):
        line_mesh.points
    # Surfaces keep their uuids: the handles see the rebuilt meshes.
    assert top.name == "top_block_0"
    assert top_mesh.nb_vertices == model.surface(top.id).mesh.nb_vertices
    assert top_mesh.nb_vertices != nb_top_vertices


def test_component_of_every_kind_is_found_again(small_sample):
    model = small_sample.model
    for component in model.corners() + model.lines() + model.surfaces():
        assert component_of(model, component.component_id) == component
