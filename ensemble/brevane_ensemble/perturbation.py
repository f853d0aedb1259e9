"""Depth shifts of horizons applied to a model.

A horizon moves through its unique vertices: every component vertex bound
to a horizon vertex (on a fault, a side wall, a line, a corner) moves with
it, so that the model stays watertight. Each unique vertex of a horizon
moves once, vertically, by the horizon's field at its (x, y); a vertex
shared by two horizons takes the sum of both shifts.

The other surfaces that horizons end on (faults, side walls) follow with a
taper: each of their vertices between two horizon lines, or between a
horizon line and the top or bottom, moves by the shifts of the nearest
vertex above and below it on the same surface, weighted by the vertical
gaps. The surface's vertices keep their vertical order, so a shift larger
than the surface's edges does not fold it; the top and bottom surfaces stay.
"""

from __future__ import annotations

from typing import Iterable, List, Optional, Set, Tuple

import numpy as np
import numpy.typing as npt

import tessark

from .description import HORIZON_SHIFT_STREAM, Perturbations, draw_generator

# The index of no unique vertex.
NO_UNIQUE_VERTEX = 4294967295

# Free vertices whose distances to the anchors are computed at once: bounds
# the (free x anchors) work arrays.
_VERTICES_PER_CHUNK = 1024

FloatArray = npt.NDArray[np.float64]
IndexArray = npt.NDArray[np.int64]


def _surface_unique_vertices(
    model: tessark.StructuralModel, surface: tessark.ComponentID, owner: str
) -> IndexArray:
    """The unique vertex of every vertex of the surface; ValueError when
    one has none, so it could not move with the components sharing it."""
    unique_vertices = model.component_unique_vertices(surface).astype(np.int64)
    unbound = np.flatnonzero(unique_vertices == NO_UNIQUE_VERTEX)
    if unbound.size:
        name = model.surface(surface.id).name
        raise ValueError(
            f"Vertex {unbound[0]} of surface {name} ({surface.id}) of {owner} has "
            "no unique vertex: it cannot be moved with the components sharing it"
        )
    return unique_vertices


def horizon_unique_vertices(
    model: tessark.StructuralModel,
    horizon: tessark.Collection,
    positions: Optional[FloatArray] = None,
) -> Tuple[IndexArray, FloatArray]:
    """The unique vertices of the surfaces of a horizon, each once in order
    of first appearance, and their positions: (ids (n,), points (n, 3)),
    taken from positions (the model's unique vertex positions) when given."""
    pieces = [
        _surface_unique_vertices(model, item, f"horizon {horizon.name}")
        for item in horizon.items
        if item.type == "Surface"
    ]
    every = np.concatenate(pieces) if pieces else np.zeros(0, dtype=np.int64)
    _, first = np.unique(every, return_index=True)
    ids = every[np.sort(first)]
    if positions is None:
        positions = model.unique_vertex_positions()
    return ids, positions[ids]


def _nearest(distances: FloatArray, side: npt.NDArray[np.bool_]) -> Tuple[IndexArray, npt.NDArray[np.bool_]]:
    """Per row, the column of the smallest distance among the columns on
    the side, and whether the row has any."""
    masked = np.where(side, distances, np.inf)
    nearest = masked.argmin(axis=1)
    return nearest, np.isfinite(masked[np.arange(len(masked)), nearest])


def _tapered_shifts(
    points: FloatArray,
    anchor_points: FloatArray,
    anchor_shifts: FloatArray,
) -> FloatArray:
    """The shift of each point from the nearest anchor above it and the
    nearest below it (in space, among the anchors strictly higher or
    lower), interpolated by the vertical gaps. With anchors on one side
    only, the shift fades to zero over the same gap on the other side."""
    shifts = np.zeros(len(points))
    anchor_squares = (anchor_points**2).sum(axis=1)
    for start in range(0, len(points), _VERTICES_PER_CHUNK):
        chunk = points[start : start + _VERTICES_PER_CHUNK]
        rows = np.arange(len(chunk))
        # Squared distances through one matrix product.
        distances = (chunk**2).sum(axis=1)[:, None] + anchor_squares - 2.0 * chunk @ anchor_points.T
        gaps = anchor_points[:, 2] - chunk[:, 2, None]
        above, has_above = _nearest(distances, gaps > 0)
        below, has_below = _nearest(distances, gaps < 0)
        gap_up = np.where(has_above, gaps[rows, above], -gaps[rows, below])
        gap_down = np.where(has_below, -gaps[rows, below], gaps[rows, above])
        shift_up = np.where(has_above, anchor_shifts[above], 0.0)
        shift_down = np.where(has_below, anchor_shifts[below], 0.0)
        total = np.where(has_above | has_below, gap_up + gap_down, 1.0)
        shifts[start : start + len(chunk)] = (shift_up * gap_down + shift_down * gap_up) / total
    return shifts


def shift_horizons(
    model: tessark.StructuralModel,
    perturbations: Perturbations,
    seed: int,
    fixed_surfaces: Iterable[tessark.uuid] = (),
) -> int:
    """Moves every horizon with a shift down by its field drawn from the
    realisation's seed, and the other surfaces but fixed_surfaces (the top
    and the bottom) with a taper between the horizons (see the module's
    description). Returns the number of horizon unique vertices moved.
    Raises ValueError, before moving anything, when a shift names a horizon
    the model does not have."""
    horizons = model.horizons()
    unknown = sorted(set(perturbations.horizon_shifts) - {h.name for h in horizons})
    if unknown:
        raise ValueError(
            f"No horizon named {', '.join(unknown)} in the model "
            f"(horizons: {', '.join(h.name for h in horizons) or 'none'})"
        )
    # Every field is evaluated on the unperturbed model; a unique vertex
    # shared by two horizons takes the sum of their shifts and moves once.
    positions = model.unique_vertex_positions()
    shifts = np.zeros(len(positions))
    anchors = np.zeros(len(positions), dtype=bool)
    horizon_surfaces: Set[tessark.uuid] = set()
    moved: List[IndexArray] = []
    for horizon in horizons:
        ids, points = horizon_unique_vertices(model, horizon, positions)
        anchors[ids] = True
        horizon_surfaces.update(item.id for item in horizon.items if item.type == "Surface")
        shift = perturbations.shift_of(horizon.name)
        if shift is None:
            continue
        field = shift.sample(draw_generator(seed, HORIZON_SHIFT_STREAM, horizon.name))
        shifts[ids] += field(points[:, 0], points[:, 1])
        moved.append(ids)
    if not moved:
        return 0
    fixed = set(fixed_surfaces)
    for surface in model.surfaces():
        if surface.id in fixed:
            anchors[_surface_unique_vertices(model, surface.component_id, "the top or bottom")] = True
    nb_horizon_vertices = len(np.unique(np.concatenate(moved)))
    tapered = anchors.copy()
    for surface in model.surfaces():
        if surface.id in fixed or surface.id in horizon_surfaces:
            continue
        ids = np.unique(_surface_unique_vertices(model, surface.component_id, "the model"))
        surface_anchors = ids[anchors[ids]]
        free = ids[~tapered[ids]]
        if free.size == 0 or surface_anchors.size == 0:
            continue
        shifts[free] = _tapered_shifts(
            positions[free], positions[surface_anchors], shifts[surface_anchors]
        )
        tapered[free] = True
    to_move = np.flatnonzero(shifts != 0)
    new_positions = positions[to_move]
    new_positions[:, 2] -= shifts[to_move]
    model.set_unique_vertex_positions(new_positions, to_move)
    return nb_horizon_vertices
