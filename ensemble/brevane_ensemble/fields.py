"""Depth shifts of a horizon: a constant, or a smooth random field.

The random field is a sum of random Fourier modes (random Fourier features):

    f(x, y) = mean + std * sqrt(2 / M) * sum_m cos(k_m . (x, y) + phi_m)

with M wave vectors k_m drawn from a normal law of standard deviation
1 / correlation_length on each axis and phases phi_m uniform in [0, 2 pi).
Over the draws, f has the asked mean and standard deviation at every point
and the Gaussian covariance std^2 exp(-d^2 / (2 correlation_length^2)) between
two points d apart. The field is smooth (infinitely differentiable), cheap
to evaluate at any (x, y) and needs no grid, so it follows meshes of any
resolution. A single draw spreads by about std over an area much wider than
the correlation length; over a smaller area it varies less, as any
correlated field does.
"""

from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Union

import numpy as np
import numpy.typing as npt

# An array of coordinates or values.
FloatArray = npt.NDArray[np.float64]

# Points evaluated at once: bounds the (points x modes) work array.
_POINTS_PER_CHUNK = 16384


@dataclass(frozen=True)
class ConstantField:
    """The same shift everywhere."""

    value: float

    def __call__(self, x: FloatArray, y: FloatArray) -> FloatArray:
        return np.full(np.shape(x), float(self.value))


@dataclass(frozen=True)
class FourierField:
    """One draw of a random Fourier field: mean + amplitude * sum of cosines."""

    mean: float
    amplitude: float
    wave_vectors: FloatArray  # (nb_modes, 2)
    phases: FloatArray  # (nb_modes,)

    def __call__(self, x: FloatArray, y: FloatArray) -> FloatArray:
        x = np.asarray(x, dtype=np.float64).ravel()
        y = np.asarray(y, dtype=np.float64).ravel()
        if x.shape != y.shape:
            raise ValueError(
                f"x and y of a field evaluation differ in size: {x.size} and {y.size}"
            )
        values = np.empty(x.size)
        for start in range(0, x.size, _POINTS_PER_CHUNK):
            stop = start + _POINTS_PER_CHUNK
            angles = (
                np.outer(x[start:stop], self.wave_vectors[:, 0])
                + np.outer(y[start:stop], self.wave_vectors[:, 1])
                + self.phases
            )
            values[start:stop] = np.cos(angles).sum(axis=1)
        return self.mean + self.amplitude * values


@dataclass(frozen=True)
class ConstantShift:
    """Shifts a whole horizon by value (positive: deeper)."""

    value: float

    def __post_init__(self) -> None:
        if not math.isfinite(self.value):
            raise ValueError(f"ConstantShift: value must be finite, not {self.value}")

    def sample(self, rng: np.random.Generator) -> ConstantField:
        return ConstantField(float(self.value))


@dataclass(frozen=True)
class RandomShift:
    """A smooth random shift of standard deviation std around mean, with
    the Gaussian correlation of the given length (model units); nb_modes
    Fourier modes (64 keep the pointwise law close to a normal one)."""

    std: float
    correlation_length: float
    mean: float = 0.0
    nb_modes: int = 64

    def __post_init__(self) -> None:
        if not 0 <= self.std < math.inf:
            raise ValueError(f"RandomShift: std must be finite and >= 0, not {self.std}")
        if not math.isfinite(self.mean):
            raise ValueError(f"RandomShift: mean must be finite, not {self.mean}")
        if not 0 < self.correlation_length < math.inf:
            raise ValueError(
                "RandomShift: correlation_length must be finite and > 0, "
                f"not {self.correlation_length}"
            )
        if self.nb_modes < 1:
            raise ValueError(f"RandomShift: nb_modes must be >= 1, not {self.nb_modes}")

    def sample(self, rng: np.random.Generator) -> FourierField:
        """One draw; the same generator state always gives the same field."""
        wave_vectors = rng.normal(
            scale=1.0 / self.correlation_length, size=(self.nb_modes, 2)
        )
        phases = rng.uniform(0.0, 2.0 * math.pi, size=self.nb_modes)
        amplitude = self.std * math.sqrt(2.0 / self.nb_modes)
        return FourierField(float(self.mean), amplitude, wave_vectors, phases)


Shift = Union[ConstantShift, RandomShift]
