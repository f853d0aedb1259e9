"""Ensembles built on a local cluster of two worker processes."""

import math
import os

import numpy as np
import pytest

import tessark
import brevane_ensemble as ensemble
from brevane_ensemble import runner

from ensemble_support import MILD_PERTURBATIONS, SMALL_FACTORY


@pytest.fixture(scope="module")
def eight(client, tmp_path_factory):
    """8 realisations of the small base, with their table and model files."""
    base = ensemble.EnsembleBase(SMALL_FACTORY, MILD_PERTURBATIONS)
    out = str(tmp_path_factory.mktemp("models"))
    progress = []
    table = ensemble.run_ensemble(
        base, 8, 2024, client=client, out=out, progress=lambda *call: progress.append(call)
    )
    return base, table, out, progress


def block_volumes(table):
    return np.array([table[column] for column in ensemble.volume_columns(table)]).T


def test_every_realisation_is_built_once_in_index_order(eight):
    _, table, _, _ = eight
    assert len(table) == 8
    assert list(table["index"]) == list(range(8))
    assert list(table["seed"]) == ensemble.realisation_seeds(2024, 8)
    assert set(table["status"]) == {"built"}, list(table["message"])
    assert (table["nb_slices"] == 7).all()
    assert (table["cells_prism"] > 0).all()
    assert (table["nb_inverted_cells"] == 0).all()
    for stage in ("load", "perturb", "inspect", "build", "summarise", "save", "total"):
        assert (table[f"time_{stage}"] >= 0).all(), stage


def test_volumes_differ_between_seeds(eight):
    _, table, _, _ = eight
    volumes = block_volumes(table)
    assert volumes.shape == (8, 6)
    assert len({tuple(row) for row in volumes}) == 8
    # The blocks fill the same box in every realisation.
    assert np.allclose(table["total_volume"], table["total_volume"][0], rtol=1e-6)


def test_the_same_seeds_give_the_same_table_but_times(eight, client):
    base, table, _, _ = eight
    again = ensemble.run_realisations(
        [ensemble.Realisation(base, index, int(table["seed"][index])) for index in (2, 5)],
        client=client,
    )
    for name in table.dtype.names:
        if name.startswith("time_"):
            continue
        assert list(again[name]) == list(table[name][[2, 5]]), name


def test_progress_is_reported_after_each_realisation(eight):
    _, _, _, progress = eight
    assert [(done, total) for _, done, total in progress] == [(n, 8) for n in range(1, 9)]
    assert sorted(record["index"] for record, _, _ in progress) == list(range(8))


def test_the_model_files_are_written(eight):
    _, _, out, _ = eight
    for index in range(8):
        assert os.path.exists(os.path.join(out, ensemble.realisation_file_name(index)))


def test_a_failing_realisation_does_not_stop_the_others(client):
    mild = ensemble.EnsembleBase(SMALL_FACTORY, MILD_PERTURBATIONS)
    folding = ensemble.EnsembleBase(
        SMALL_FACTORY,
        ensemble.Perturbations(horizon_shifts={"horizon_1": ensemble.ConstantShift(300.0)}),
    )
    realisations = [
        ensemble.Realisation(folding if index == 1 else mild, index, 100 + index)
        for index in range(4)
    ]
    table = ensemble.run_realisations(realisations, client=client)
    assert list(table["status"]) == ["built", "failed", "built", "built"]
    assert table["message"][1].startswith("build: ")
    assert math.isnan(table["total_volume"][1])
    assert len(ensemble.volume_columns(table)) == 6


def test_realisations_over_the_time_limit_are_failed_with_fixed_columns(client):
    base = ensemble.EnsembleBase(SMALL_FACTORY, MILD_PERTURBATIONS)
    table = ensemble.run_ensemble(base, 3, 1, client=client, time_limit=0.05)
    assert list(table["status"]) == ["failed"] * 3
    assert set(table["message"]) == {"timed out after 0.05 s"}
    assert len(ensemble.volume_columns(table)) == 6
    assert np.isnan(block_volumes(table)).all()


def refuse_cluster(*arguments, **options):
    raise AssertionError("a cluster was started")


def test_unknown_perturbation_names_are_refused_before_the_cluster_starts(monkeypatch):
    monkeypatch.setattr(runner, "cluster_client", refuse_cluster)
    client = None
    base = ensemble.EnsembleBase(
        SMALL_FACTORY,
        ensemble.Perturbations(horizon_shifts={"horizon_9": ensemble.ConstantShift(1.0)}),
    )
    with pytest.raises(ValueError, match="no horizon named horizon_9"):
        ensemble.run_ensemble(base, 2, 0, client=client)
    faults = ensemble.EnsembleBase(
        SMALL_FACTORY, ensemble.Perturbations(throw_changes={3: ensemble.ThrowChange(std=1.0)})
    )
    with pytest.raises(ValueError, match="fault 3, but the base model has 1 faults"):
        ensemble.run_ensemble(faults, 2, 0, client=client)


def test_an_unreadable_base_stops_the_ensemble_before_the_cluster_starts(
    monkeypatch, tmp_path
):
    monkeypatch.setattr(runner, "cluster_client", refuse_cluster)
    base = ensemble.EnsembleBase(ensemble.ModelFile(str(tmp_path / "missing.vtm")))
    with pytest.raises(ValueError, match="missing.vtm cannot be read: no such file"):
        ensemble.run_ensemble(base, 2, 0)


def test_a_base_broken_inside_stops_the_ensemble_with_its_reason(client, tmp_path):
    sample = tessark.build_sample_model(tessark.small_sample_parameters(2, 1))
    path = tmp_path / "base.vtm"
    tessark.save_model(sample.model, path)
    for mesh_file in (tmp_path / "base_files").glob("*.vtp"):
        mesh_file.write_text("broken")
    base = ensemble.EnsembleBase(ensemble.ModelFile(str(path)))
    with pytest.raises(RuntimeError, match="base.vtm cannot be read: "):
        ensemble.run_ensemble(base, 2, 0, client=client)


def test_an_empty_ensemble_needs_no_cluster():
    table = ensemble.run_ensemble(ensemble.EnsembleBase(SMALL_FACTORY), 0, 0)
    assert len(table) == 0


@pytest.mark.parametrize("time_limit", [0.0, -1.0, float("inf"), float("nan")])
def test_bad_time_limits_are_refused(time_limit):
    with pytest.raises(ValueError, match="time limit"):
        ensemble.run_ensemble(ensemble.EnsembleBase(SMALL_FACTORY), 1, 0, time_limit=time_limit)
