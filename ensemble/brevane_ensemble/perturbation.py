"""Depth shifts of horizons applied to a model.

A horizon moves through its unique vertices: every component vertex bound
to a horizon vertex (on a fault, a side wall, a line, a corner) moves with
it, so that the model stays watertight. Each unique vertex of a horizon
moves once, vertically, by the horizon's field at its (x, y); a vertex
shared by two horizons takes the sum of both shifts.
"""

from __future__ import annotations

from typing import Dict, List, Tuple

import numpy as np

import tessark

from .description import HORIZON_SHIFT_STREAM, Perturbations, draw_generator


def horizon_unique_vertices(
    model: tessark.StructuralModel, horizon: tessark.Collection
) -> Tuple[np.ndarray, np.ndarray]:
    """The unique vertices of the surfaces of a horizon, each once in order
    of first appearance, and their positions: (ids (n,), points (n, 3))."""
    positions: Dict[int, np.ndarray] = {}
    for item in horizon.items:
        if item.type != "Surface":
            continue
        surface = model.surface(item.id)
        points = surface.mesh.points
        for vertex in range(len(points)):
            unique_vertex = model.unique_vertex(tessark.ComponentMeshVertex(item, vertex))
            if unique_vertex is None:
                raise ValueError(
                    f"Vertex {vertex} of surface {surface.name} ({surface.id}) of "
                    f"horizon {horizon.name} has no unique vertex: it cannot be "
                    "moved with the components sharing it"
                )
            positions.setdefault(unique_vertex, points[vertex])
    ids = np.fromiter(positions.keys(), dtype=np.int64, count=len(positions))
    points = np.array(list(positions.values()), dtype=np.float64).reshape(-1, 3)
    return ids, points


def shift_horizons(model: tessark.StructuralModel, perturbations: Perturbations, seed: int) -> int:
    """Moves every horizon with a shift down by its field drawn from the
    realisation's seed. Returns the number of unique vertices moved. Raises
    ValueError, before moving anything, when a shift names a horizon the
    model does not have."""
    horizons = model.horizons()
    unknown = sorted(set(perturbations.horizon_shifts) - {h.name for h in horizons})
    if unknown:
        raise ValueError(
            f"No horizon named {', '.join(unknown)} in the model "
            f"(horizons: {', '.join(h.name for h in horizons) or 'none'})"
        )
    # Every field is evaluated on the unperturbed model; a unique vertex
    # shared by two horizons takes the sum of their shifts and moves once.
    positions: Dict[int, List[float]] = {}
    for horizon in horizons:
        shift = perturbations.shift_of(horizon.name)
        if shift is None:
            continue
        field = shift.sample(draw_generator(seed, HORIZON_SHIFT_STREAM, horizon.name))
        ids, points = horizon_unique_vertices(model, horizon)
        depth_shifts = field(points[:, 0], points[:, 1])
        for unique_vertex, point, depth_shift in zip(
            ids.tolist(), points.tolist(), depth_shifts.tolist()
        ):
            position = positions.setdefault(unique_vertex, point)
            position[2] -= depth_shift
    for unique_vertex, position in positions.items():
        model.set_unique_vertex_position(unique_vertex, position)
    return len(positions)
