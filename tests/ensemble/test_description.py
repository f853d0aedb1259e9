"""Seeds and descriptions of realisations."""

import numpy as np
import pytest

import brevane_ensemble as ensemble
from brevane_ensemble.description import (
    FAULT_THROW_STREAM,
    HORIZON_SHIFT_STREAM,
    draw_generator,
)


def test_realisation_seeds_are_reproducible_distinct_and_prefix_stable():
    seeds = ensemble.realisation_seeds(42, 16)
    assert seeds == ensemble.realisation_seeds(42, 16)
    assert len(set(seeds)) == 16
    assert ensemble.realisation_seeds(42, 5) == seeds[:5]
    assert set(ensemble.realisation_seeds(43, 16)).isdisjoint(seeds)
    assert all(0 <= seed < 2**64 for seed in seeds)


def test_realisations_carry_base_index_and_seed():
    base = ensemble.EnsembleBase(ensemble.FactoryModel())
    realisations = ensemble.make_realisations(base, 3, 9)
    assert [r.index for r in realisations] == [0, 1, 2]
    assert [r.seed for r in realisations] == ensemble.realisation_seeds(9, 3)
    assert all(r.base is base for r in realisations)


def test_negative_number_of_realisations_is_refused():
    with pytest.raises(ValueError, match=">= 0"):
        ensemble.realisation_seeds(1, -1)


def test_draws_depend_on_seed_stream_and_key_only():
    def first(seed, stream, key):
        return draw_generator(seed, stream, key).random(4)

    reference = first(5, HORIZON_SHIFT_STREAM, "horizon_1")
    assert np.array_equal(reference, first(5, HORIZON_SHIFT_STREAM, "horizon_1"))
    for other in [
        (6, HORIZON_SHIFT_STREAM, "horizon_1"),
        (5, FAULT_THROW_STREAM, "horizon_1"),
        (5, HORIZON_SHIFT_STREAM, "horizon_2"),
    ]:
        assert not np.array_equal(reference, first(*other))


def test_perturbations_fall_back_on_the_every_entries():
    named = ensemble.ConstantShift(3.0)
    every = ensemble.ConstantShift(1.0)
    change = ensemble.ThrowChange(std=2.0)
    perturbations = ensemble.Perturbations(
        horizon_shifts={"top_one": named},
        every_horizon=every,
        throw_changes={1: change},
    )
    assert perturbations.shift_of("top_one") is named
    assert perturbations.shift_of("other") is every
    assert perturbations.throw_change_of(1) is change
    assert perturbations.throw_change_of(0) is None
    assert perturbations.changes_throws()
    assert not ensemble.Perturbations().changes_throws()


def test_throw_change_adds_shift_and_scaled_normal_draw():
    rng_a, rng_b = np.random.default_rng(3), np.random.default_rng(3)
    change = ensemble.ThrowChange(std=4.0, shift=-2.0)
    assert change.draw(rng_a) == pytest.approx(-2.0 + 4.0 * rng_b.standard_normal())


def test_throw_changes_need_a_factory_model():
    perturbations = ensemble.Perturbations(every_fault=ensemble.ThrowChange(std=1.0))
    with pytest.raises(ValueError, match="factory model"):
        ensemble.EnsembleBase(ensemble.ModelFile("some.vtm"), perturbations)


@pytest.mark.parametrize(
    "arguments, message",
    [
        (dict(nb_horizons=0), "nb_horizons"),
        (dict(nb_faults=-1), "nb_faults"),
        (dict(target_top_triangles=0), "target_top_triangles"),
        (dict(nb_faults=2, fault_throws=(10.0,)), "1 fault throws given for 2 faults"),
    ],
)
def test_bad_factory_models_are_refused(arguments, message):
    with pytest.raises(ValueError, match=message):
        ensemble.FactoryModel(**arguments)


def test_factory_lists_become_tuples():
    model = ensemble.FactoryModel(nb_faults=1, horizon_depths=[50, 120], fault_throws=[9])
    assert model.horizon_depths == (50.0, 120.0) and model.fault_throws == (9.0,)
    same = ensemble.FactoryModel(nb_faults=1, horizon_depths=(50, 120), fault_throws=(9,))
    assert model == same and hash(model) == hash(same)


def test_model_file_names_become_tuples():
    model = ensemble.ModelFile("model.vtm", top="ground", bottom=["base_a", "base_b"])
    assert model.top == ("ground",)
    assert model.bottom == ("base_a", "base_b")
    # Distinct realisations of one base share one description of it.
    assert hash(model) == hash(ensemble.ModelFile("model.vtm", ("ground",), ("base_a", "base_b")))
