"""Horizon shifts applied to factory models, without Dask."""

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
import brevane_ensemble as ensemble
from brevane_ensemble.model_input import factory_parameters, load_base_model
from brevane_ensemble.perturbation import horizon_unique_vertices, shift_horizons

FACTORY = ensemble.FactoryModel(nb_horizons=2, nb_faults=1, target_top_triangles=300)


def loaded(perturbations=ensemble.Perturbations(), seed=0):
    return load_base_model(FACTORY, perturbations, seed)


def positions(model, unique_vertex):
    """Every component vertex position of a unique vertex."""
    find = {"Corner": model.corner, "Line": model.line, "Surface": model.surface}
    return np.array(
        [
            find[vertex.component_id.type](vertex.component_id.id).mesh.points[vertex.vertex]
            for vertex in model.component_mesh_vertices(unique_vertex)
        ]
    )


def throws_of(factory, perturbations, seed=0):
    return [f.vertical_throw for f in factory_parameters(factory, perturbations, seed).faults]


def horizon_points(model):
    return {h.name: horizon_unique_vertices(model, h) for h in model.horizons()}


def test_a_constant_shift_moves_one_horizon_down_with_its_shared_vertices():
    model = loaded().model
    before = horizon_points(model)
    perturbations = ensemble.Perturbations(
        horizon_shifts={"horizon_1": ensemble.ConstantShift(7.5)}
    )
    nb_moved = shift_horizons(model, perturbations, 1)
    ids, points = before["horizon_1"]
    assert nb_moved == len(ids)
    # Horizon vertices on the fault and the side walls: every component
    # bound to them moved too.
    shared = [u for u in ids.tolist() if len(model.component_mesh_vertices(u)) > 1]
    assert len(shared) > 10
    for unique_vertex, point in zip(ids.tolist(), points):
        moved = positions(model, unique_vertex)
        assert np.allclose(moved, point - [0, 0, 7.5]), unique_vertex
    other_ids, other_points = before["horizon_2"]
    assert np.array_equal(horizon_points(model)["horizon_2"][1], other_points)
    assert tessark.validate_model(model) == []


def test_random_shifts_follow_the_seed():
    perturbations = ensemble.Perturbations(every_horizon=ensemble.RandomShift(4.0, 300.0))

    def shifted(seed):
        model = loaded().model
        shift_horizons(model, perturbations, seed)
        return np.concatenate([points for _, points in horizon_points(model).values()])

    original = np.concatenate([p for _, p in horizon_points(loaded().model).values()])
    first = shifted(11)
    assert np.array_equal(first, shifted(11))
    assert not np.array_equal(first, shifted(12))
    assert np.array_equal(first[:, :2], original[:, :2])
    depth_shifts = original[:, 2] - first[:, 2]
    assert 0 < np.abs(depth_shifts).max() < 5 * 4.0


def test_an_unknown_horizon_is_refused_before_any_move():
    model = loaded().model
    before = horizon_points(model)["horizon_1"][1]
    perturbations = ensemble.Perturbations(
        horizon_shifts={
            "horizon_1": ensemble.ConstantShift(1.0),
            "nowhere": ensemble.ConstantShift(1.0),
        }
    )
    with pytest.raises(ValueError, match="No horizon named nowhere"):
        shift_horizons(model, perturbations, 0)
    assert np.array_equal(horizon_points(model)["horizon_1"][1], before)


def test_throw_changes_go_through_the_factory_parameters():
    base_throws = throws_of(FACTORY, ensemble.Perturbations())
    perturbations = ensemble.Perturbations(throw_changes={0: ensemble.ThrowChange(shift=5.0)})
    throws = throws_of(FACTORY, perturbations)
    assert throws == pytest.approx([base_throws[0] + 5.0])
    random = ensemble.Perturbations(every_fault=ensemble.ThrowChange(std=2.0))
    first = factory_parameters(FACTORY, random, 3).faults[0].vertical_throw
    assert first == factory_parameters(FACTORY, random, 3).faults[0].vertical_throw
    assert first != factory_parameters(FACTORY, random, 4).faults[0].vertical_throw


def test_given_fault_throws_replace_the_defaults():
    factory = ensemble.FactoryModel(nb_horizons=2, nb_faults=2, fault_throws=(11.0, 13.0))
    assert throws_of(factory, ensemble.Perturbations()) == [11.0, 13.0]


def test_model_files_find_their_top_and_bottom_surfaces(tmp_path):
    sample = loaded()
    path = str(tmp_path / "base.vtm")
    tessark.save_model(sample.model, path)
    by_boundary = load_base_model(ensemble.ModelFile(path), ensemble.Perturbations(), 0)
    assert by_boundary.top_surfaces == sample.top_surfaces
    assert by_boundary.bottom_surfaces == sample.bottom_surfaces
    top_name = sample.model.surface(sample.top_surfaces[0]).name
    by_name = load_base_model(
        ensemble.ModelFile(path, top=(top_name,), bottom=("bottom",)), ensemble.Perturbations(), 0
    )
    assert by_name.top_surfaces == sample.top_surfaces[:1]
    with pytest.raises(ValueError, match='no collection or surface named "nothing"'):
        load_base_model(ensemble.ModelFile(path, top=("nothing",)), ensemble.Perturbations(), 0)


def fault_normal_signs(model):
    """The side each fault triangle faces along x (the factory's faults
    cross the box along y): a triangle folded over flips it."""
    signs = []
    for fault in model.faults():
        for item in fault.items:
            mesh = model.surface(item.id).mesh
            points, triangles = mesh.points, mesh.triangles
            first = points[triangles[:, 0]]
            normals = np.cross(points[triangles[:, 1]] - first, points[triangles[:, 2]] - first)
            signs.append(np.sign(normals[:, 0]))
    return np.concatenate(signs)


def test_faults_follow_a_shift_larger_than_their_edges_without_folding():
    # At 20000 top triangles the fault edges are about 13 units long.
    factory = ensemble.FactoryModel(nb_horizons=2, nb_faults=1, target_top_triangles=20000)
    shift = ensemble.Perturbations(horizon_shifts={"horizon_1": ensemble.ConstantShift(25.0)})

    # Moved alone, the horizon's vertices on the fault pass their
    # neighbours: the fault folds.
    alone = load_base_model(factory, ensemble.Perturbations(), 0).model
    signs = fault_normal_signs(alone)
    ids, points = horizon_unique_vertices(alone, alone.horizons()[0])
    points[:, 2] -= 25.0
    alone.set_unique_vertex_positions(points, ids)
    assert np.any(fault_normal_signs(alone) != signs)

    sample = load_base_model(factory, ensemble.Perturbations(), 0)
    model = sample.model
    before = model.unique_vertex_positions()
    shift_horizons(model, shift, 0, sample.top_surfaces + sample.bottom_surfaces)
    assert np.array_equal(fault_normal_signs(model), signs)
    after = model.unique_vertex_positions()
    assert np.array_equal(after[:, :2], before[:, :2])
    moved = np.flatnonzero(after[:, 2] != before[:, 2])
    horizon_ids = horizon_unique_vertices(model, model.horizons()[0])[0]
    # The faults and side walls follow, by less than the horizon.
    assert len(moved) > len(horizon_ids)
    assert np.all(before[moved, 2] - after[moved, 2] <= 25.0 + 1e-9)
    for surface_id in sample.top_surfaces + sample.bottom_surfaces:
        unique_vertices = model.component_unique_vertices(model.surface(surface_id).component_id)
        assert np.array_equal(after[unique_vertices], before[unique_vertices])
    assert tessark.validate_model(model) == []
    pillar.VarnholtPillarLibrary.initialize()
    builder = pillar.PillarStructuralModelBuilder(
        model, sample.top_surfaces, sample.bottom_surfaces
    )
    builder.build(pillar.PillarStructuralModelOptions())
    assert all(np.all(block.mesh.polyhedron_volumes > 0) for block in model.blocks())
