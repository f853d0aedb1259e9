"""Cell counts and volumes of the blocks of a built pillar model.

The volume of a cell follows the divergence theorem from the cell's
centroid: every facet, seen from the centroid, spans tetrahedra whose signed
volumes add up; a quadrangular facet is split into four triangles around
its own centroid, so the result does not depend on a choice of diagonal
when the facet is not planar. A positively oriented cell has a positive
volume, an inverted one a negative volume.
"""

from __future__ import annotations

from dataclasses import dataclass
from typing import TYPE_CHECKING, Dict, List, Tuple

import numpy as np
import numpy.typing as npt

if TYPE_CHECKING:
    # Only for annotations: the client imports this module through the
    # records without the compiled modules.
    import tessark

# Cell kinds in the order of tessark.PolyhedronType's values.
CELL_TYPES: Tuple[str, ...] = ("tetrahedron", "pyramid", "prism", "hexahedron")

# Local vertices of each cell kind's facets, turning counter-clockwise seen
# from outside a positively oriented cell (the numbering of PolyhedronType).
_FACETS: Dict[int, Tuple[Tuple[int, ...], ...]] = {
    0: ((1, 2, 3), (0, 3, 2), (0, 1, 3), (0, 2, 1)),
    1: ((0, 3, 2, 1), (0, 1, 4), (1, 2, 4), (2, 3, 4), (3, 0, 4)),
    2: ((0, 2, 1), (3, 4, 5), (0, 1, 4, 3), (1, 2, 5, 4), (2, 0, 3, 5)),
    3: (
        (0, 3, 2, 1),
        (4, 5, 6, 7),
        (0, 1, 5, 4),
        (1, 2, 6, 5),
        (2, 3, 7, 6),
        (3, 0, 4, 7),
    ),
}
_NB_VERTICES = {0: 4, 1: 5, 2: 6, 3: 8}

FloatArray = npt.NDArray[np.float64]


def _volume6(apex: FloatArray, a: FloatArray, b: FloatArray, c: FloatArray) -> FloatArray:
    """Six times the signed volumes of the tetrahedra (apex, a, b, c), row by row."""
    volume6: FloatArray = np.einsum("ij,ij->i", a - apex, np.cross(b - apex, c - apex))
    return volume6


def cell_volumes(
    points: FloatArray, types: npt.ArrayLike, offsets: npt.ArrayLike, vertices: npt.ArrayLike
) -> FloatArray:
    """The signed volume of every cell of a solid mesh given as arrays (the
    polyhedron_types, polyhedron_offsets and polyhedron_vertices of a
    tessark.SolidMesh). Raises ValueError naming the first inconsistent cell."""
    types = np.asarray(types)
    offsets = np.asarray(offsets, dtype=np.int64)
    vertices = np.asarray(vertices, dtype=np.int64)
    if offsets.shape != (types.size + 1,) or (types.size and offsets[-1] != vertices.size):
        raise ValueError(
            f"Cell arrays do not match: {types.size} cells, {offsets.size} offsets, "
            f"{vertices.size} vertices"
        )
    unknown = np.flatnonzero(~np.isin(types, list(_FACETS)))
    if unknown.size:
        raise ValueError(f"Cell {unknown[0]} has the unknown type {types[unknown[0]]}")
    bad = np.flatnonzero((vertices < 0) | (vertices >= len(points)))
    if bad.size:
        raise ValueError(
            f"Cell vertex {bad[0]} is {vertices[bad[0]]}, beyond the {len(points)} points"
        )
    volumes = np.zeros(types.size)
    for cell_type, facets in _FACETS.items():
        cells = np.flatnonzero(types == cell_type)
        if cells.size == 0:
            continue
        nb_vertices = _NB_VERTICES[cell_type]
        sizes = offsets[cells + 1] - offsets[cells]
        wrong = np.flatnonzero(sizes != nb_vertices)
        if wrong.size:
            cell = cells[wrong[0]]
            raise ValueError(
                f"Cell {cell}, a {CELL_TYPES[cell_type]}, has {sizes[wrong[0]]} "
                f"vertices instead of {nb_vertices}"
            )
        corners = points[vertices[offsets[cells][:, None] + np.arange(nb_vertices)]]
        center = corners.mean(axis=1)
        volume6 = np.zeros(cells.size)
        for facet in facets:
            if len(facet) == 3:
                volume6 += _volume6(
                    center, corners[:, facet[0]], corners[:, facet[1]], corners[:, facet[2]]
                )
                continue
            facet_center = corners[:, list(facet)].mean(axis=1)
            for local, vertex in enumerate(facet):
                following = facet[(local + 1) % len(facet)]
                volume6 += _volume6(
                    center, corners[:, vertex], corners[:, following], facet_center
                )
        volumes[cells] = volume6 / 6.0
    return volumes


@dataclass
class BlockSummary:
    """What the table keeps of a built model."""

    cells: Dict[str, int]
    volumes: Dict[str, float]
    nb_inverted_cells: int


def block_column_names(names: List[str], ids: List[str]) -> List[str]:
    """The volume column of each block: its name, or name and uuid when
    several blocks share the name."""
    counts: Dict[str, int] = {}
    for name in names:
        counts[name] = counts.get(name, 0) + 1
    return [name if counts[name] == 1 else f"{name} {id_}" for name, id_ in zip(names, ids)]


def summarise_blocks(model: tessark.StructuralModel) -> BlockSummary:
    """Cell counts by kind, the volume of each block (the sum of its cells'
    signed volumes, computed by the library as cell_volumes does) and the
    number of cells of non-positive volume."""
    cells = np.zeros(len(CELL_TYPES), dtype=np.int64)
    blocks = model.blocks()
    labels = block_column_names([b.name for b in blocks], [str(b.id) for b in blocks])
    volumes: Dict[str, float] = {}
    nb_inverted = 0
    for label, block in zip(labels, blocks):
        mesh = block.mesh
        cells += np.bincount(mesh.polyhedron_types, minlength=len(CELL_TYPES))[: len(CELL_TYPES)]
        block_volumes = mesh.polyhedron_volumes
        volumes[label] = float(block_volumes.sum())
        nb_inverted += int(np.count_nonzero(block_volumes <= 0))
    return BlockSummary(
        {name: int(count) for name, count in zip(CELL_TYPES, cells)}, volumes, nb_inverted
    )
