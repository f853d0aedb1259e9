"""Cell volumes computed from the arrays of a solid mesh, and by the
library."""

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from brevane_ensemble.summary import block_column_names, cell_volumes

TETRAHEDRON, PYRAMID, PRISM, HEXAHEDRON = range(4)

UNIT_CUBE = np.array(
    [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0], [0, 0, 1], [1, 0, 1], [1, 1, 1], [0, 1, 1]],
    dtype=float,
)


def volumes(points, cells):
    """cells: list of (type, vertices)."""
    types = np.array([cell_type for cell_type, _ in cells], dtype=np.uint8)
    sizes = [len(vertices) for _, vertices in cells]
    offsets = np.concatenate([[0], np.cumsum(sizes)]).astype(np.uint32)
    vertices = np.concatenate([vertices for _, vertices in cells]).astype(np.uint32)
    return cell_volumes(points, types, offsets, vertices)


@pytest.mark.parametrize(
    "cell, expected",
    [
        ((HEXAHEDRON, [0, 1, 2, 3, 4, 5, 6, 7]), 1.0),
        ((PRISM, [0, 1, 2, 4, 5, 6]), 0.5),
        ((PYRAMID, [0, 1, 2, 3, 6]), 1.0 / 3.0),
        ((TETRAHEDRON, [0, 1, 3, 4]), 1.0 / 6.0),
    ],
)
def test_cells_of_the_unit_cube(cell, expected):
    assert volumes(UNIT_CUBE, [cell]) == pytest.approx([expected])


def test_inverted_cells_have_negative_volumes():
    inverted = volumes(UNIT_CUBE, [(PRISM, [4, 5, 6, 0, 1, 2]), (TETRAHEDRON, [0, 3, 1, 4])])
    assert inverted == pytest.approx([-0.5, -1.0 / 6.0])


def test_a_sheared_box_cut_into_cells_keeps_its_volume():
    # A parallelepiped of volume 2 x 3 x 1.5, its top shifted sideways.
    base = np.array([[0, 0, 0], [2, 0, 0], [2, 3, 0], [0, 3, 0]], dtype=float)
    top = base + [0.7, -0.4, 1.5]
    points = np.vstack([base, top])
    whole = volumes(points, [(HEXAHEDRON, list(range(8)))])
    prisms = volumes(points, [(PRISM, [0, 1, 2, 4, 5, 6]), (PRISM, [0, 2, 3, 4, 6, 7])])
    assert whole == pytest.approx([9.0])
    assert prisms.sum() == pytest.approx(9.0)


def test_non_planar_facets_do_not_depend_on_a_diagonal():
    # Twisting the top of a cube: rotating the vertex order of the cell
    # turns its quadrangles' diagonals, the volume stays.
    points = UNIT_CUBE.copy()
    points[6, 2] = 1.4
    first = volumes(points, [(HEXAHEDRON, [0, 1, 2, 3, 4, 5, 6, 7])])
    rotated = volumes(points, [(HEXAHEDRON, [1, 2, 3, 0, 5, 6, 7, 4])])
    assert first == pytest.approx(rotated)
    assert 1.0 < first[0] < 1.4


@pytest.mark.parametrize(
    "types, offsets, vertices, message",
    [
        ([PRISM], [0, 5], [0, 1, 2, 4, 5], "has 5 vertices instead of 6"),
        ([7], [0, 4], [0, 1, 2, 3], "unknown type 7"),
        ([TETRAHEDRON], [0, 4], [0, 1, 2, 8], "beyond the 8 points"),
        ([TETRAHEDRON], [0, 4, 8], [0, 1, 2, 3], "do not match"),
    ],
)
def test_inconsistent_cells_are_reported(types, offsets, vertices, message):
    with pytest.raises(ValueError, match=message):
        cell_volumes(UNIT_CUBE, np.array(types), np.array(offsets), np.array(vertices))


def test_block_columns_add_the_uuid_only_to_shared_names():
    assert block_column_names(["a", "b", "a"], ["1", "2", "3"]) == ["a 1", "b", "a 3"]


def test_the_library_volumes_of_a_built_block_match_the_array_formula():
    pillar.VarnholtPillarLibrary.initialize()
    sample = tessark.build_sample_model(tessark.small_sample_parameters(2, 1))
    builder = pillar.PillarStructuralModelBuilder(
        sample.model, sample.top_surfaces, sample.bottom_surfaces
    )
    builder.build(pillar.PillarStructuralModelOptions())
    for block in sample.model.blocks():
        mesh = block.mesh
        expected = cell_volumes(
            mesh.points, mesh.polyhedron_types, mesh.polyhedron_offsets, mesh.polyhedron_vertices
        )
        assert np.allclose(mesh.polyhedron_volumes, expected, rtol=1e-12, atol=1e-9)
