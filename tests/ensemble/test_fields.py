"""The depth-shift fields, without models or Dask."""

import numpy as np
import pytest

from brevane_ensemble import ConstantShift, RandomShift, ThrowChange


def grid(length, nb):
    x, y = np.meshgrid(np.linspace(0, length, nb), np.linspace(0, length, nb))
    return x.ravel(), y.ravel()


def draw(shift, seed):
    return shift.sample(np.random.default_rng(seed))


def test_same_seed_same_field_and_other_seeds_differ():
    shift = RandomShift(std=10.0, correlation_length=200.0)
    x, y = grid(1000.0, 30)
    first = draw(shift, 7)(x, y)
    assert np.array_equal(first, draw(shift, 7)(x, y))
    assert not np.allclose(first, draw(shift, 8)(x, y))


@pytest.mark.parametrize("std, mean", [(1.0, 0.0), (12.5, 3.0), (40.0, -20.0)])
def test_pointwise_mean_and_std_over_draws(std, mean):
    shift = RandomShift(std=std, correlation_length=150.0, mean=mean)
    x = np.array([0.0, 333.0, 1000.0])
    y = np.array([0.0, 777.0, 50.0])
    values = np.array([draw(shift, seed)(x, y) for seed in range(3000)])
    assert np.allclose(values.mean(axis=0), mean, atol=0.08 * std)
    assert np.allclose(values.std(axis=0), std, rtol=0.06)


def test_one_draw_spreads_by_std_over_a_wide_area():
    shift = RandomShift(std=8.0, correlation_length=40.0)
    x, y = grid(2000.0, 100)
    spreads = [draw(shift, seed)(x, y).std() for seed in range(10)]
    assert np.mean(spreads) == pytest.approx(8.0, rel=0.1)


def test_correlation_is_gaussian_in_the_distance():
    length = 100.0
    shift = RandomShift(std=1.0, correlation_length=length)
    distances = np.array([0.0, 0.5, 1.0, 2.0]) * length
    x = np.concatenate([[0.0], distances])
    y = np.zeros_like(x)
    values = np.array([draw(shift, seed)(x, y) for seed in range(4000)])
    correlations = [
        np.corrcoef(values[:, 0], values[:, 1 + i])[0, 1] for i in range(len(distances))
    ]
    expected = np.exp(-(distances**2) / (2 * length**2))
    assert np.allclose(correlations, expected, atol=0.05)


def test_field_is_smooth_at_the_scale_of_the_correlation_length():
    shift = RandomShift(std=10.0, correlation_length=300.0)
    x = np.linspace(0.0, 1000.0, 1001)
    values = draw(shift, 3)(x, np.zeros_like(x))
    # Over 1 unit, a field of correlation length 300 changes by a tiny
    # fraction of its spread.
    assert np.abs(np.diff(values)).max() < 0.5


def test_large_point_sets_are_evaluated_in_chunks_consistently():
    field = draw(RandomShift(std=2.0, correlation_length=50.0), 1)
    x = np.linspace(0, 1000, 40000)
    y = np.linspace(1000, 0, 40000)
    whole = field(x, y)
    assert np.array_equal(whole[35000:], field(x[35000:], y[35000:]))


def test_constant_shift_is_the_same_everywhere_whatever_the_seed():
    x, y = grid(10.0, 4)
    assert np.array_equal(draw(ConstantShift(4.5), 1)(x, y), np.full(16, 4.5))
    assert np.array_equal(draw(ConstantShift(4.5), 2)(x, y), np.full(16, 4.5))


@pytest.mark.parametrize(
    "arguments",
    [
        dict(std=-1.0, correlation_length=10.0),
        dict(std=1.0, correlation_length=0.0),
        dict(std=float("nan"), correlation_length=10.0),
        dict(std=1.0, correlation_length=10.0, nb_modes=0),
        dict(std=float("inf"), correlation_length=10.0),
        dict(std=1.0, correlation_length=float("inf")),
        dict(std=1.0, correlation_length=10.0, mean=float("nan")),
    ],
)
def test_bad_random_shifts_are_refused(arguments):
    with pytest.raises(ValueError):
        RandomShift(**arguments)


@pytest.mark.parametrize(
    "make",
    [
        lambda: ConstantShift(float("inf")),
        lambda: ConstantShift(float("nan")),
        lambda: ThrowChange(std=float("inf")),
        lambda: ThrowChange(std=1.0, shift=-float("inf")),
    ],
)
def test_non_finite_shifts_and_throw_changes_are_refused(make):
    with pytest.raises(ValueError, match="finite"):
        make()


def test_mismatched_coordinates_are_refused():
    field = draw(RandomShift(std=1.0, correlation_length=10.0), 0)
    with pytest.raises(ValueError, match="differ in size"):
        field(np.zeros(3), np.zeros(2))
