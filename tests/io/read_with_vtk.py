"""Reads a model file with VTK's own reader and checks it against what the
model holds.

Usage: read_with_vtk.py <model.vtm> <expected.json>

The expected file lists the groups of the multiblock file in order, each with
its datasets: {"groups": [{"name": "Corners", "datasets": [{"name": ...,
"points": ..., "cells": ...}, ...]}, ...]}. Beyond the counts, every dataset
must carry the point array "unique_vertex", every cell of an unstructured grid
must be a tetrahedron, pyramid, wedge or hexahedron with its faces turned
outwards, and every tetrahedron must have a positive volume.

Prints each problem and exits with 1 when there is one, 0 otherwise.
"""

import json
import sys

import vtk

SOLID_CELL_TYPES = {vtk.VTK_TETRA, vtk.VTK_PYRAMID, vtk.VTK_WEDGE, vtk.VTK_HEXAHEDRON}


class ErrorCatcher:
    """Collects the errors and warnings VTK raises while reading."""

    def __init__(self):
        self.messages = []

    def __call__(self, caller, event):
        self.messages.append(f"{event} from {caller.GetClassName()}")


def tetrahedron_volume_sign(grid, cell_id):
    points = [grid.GetPoint(grid.GetCell(cell_id).GetPointId(i)) for i in range(4)]
    edges = [[points[i][axis] - points[0][axis] for axis in range(3)] for i in (1, 2, 3)]
    a, b, c = edges
    return (
        a[0] * (b[1] * c[2] - b[2] * c[1])
        - a[1] * (b[0] * c[2] - b[2] * c[0])
        + a[2] * (b[0] * c[1] - b[1] * c[0])
    )


def check_solid_cells(grid, where, problems):
    validator = vtk.vtkCellValidator()
    validator.SetInputData(grid)
    validator.Update()
    states = validator.GetOutput().GetCellData().GetArray("ValidityState")
    for cell_id in range(grid.GetNumberOfCells()):
        cell_type = grid.GetCellType(cell_id)
        if cell_type not in SOLID_CELL_TYPES:
            problems.append(f"{where}: cell {cell_id} has the VTK type {cell_type}")
        elif cell_type == vtk.VTK_TETRA:
            if tetrahedron_volume_sign(grid, cell_id) <= 0:
                problems.append(f"{where}: tetrahedron {cell_id} is not positive")
        elif states.GetValue(cell_id) & vtk.vtkCellValidator.FacesAreOrientedIncorrectly:
            problems.append(f"{where}: cell {cell_id} has faces turned inwards")


def check_dataset(dataset, expected, where, problems):
    if dataset is None:
        problems.append(f"{where}: no dataset was read")
        return
    for count, value in (
        ("points", dataset.GetNumberOfPoints()),
        ("cells", dataset.GetNumberOfCells()),
    ):
        if value != expected[count]:
            problems.append(f"{where}: {value} {count} read, {expected[count]} expected")
    unique_vertex = dataset.GetPointData().GetArray("unique_vertex")
    if unique_vertex is None or unique_vertex.GetNumberOfTuples() != dataset.GetNumberOfPoints():
        problems.append(f"{where}: no point array unique_vertex of one value per point")
    if isinstance(dataset, vtk.vtkUnstructuredGrid):
        check_solid_cells(dataset, where, problems)


def main(model_file, expected_file):
    with open(expected_file, encoding="utf-8") as stream:
        expected = json.load(stream)
    catcher = ErrorCatcher()
    reader = vtk.vtkXMLMultiBlockDataReader()
    reader.AddObserver("ErrorEvent", catcher)
    reader.AddObserver("WarningEvent", catcher)
    reader.SetFileName(model_file)
    reader.Update()
    problems = list(catcher.messages)
    output = reader.GetOutput()
    groups = expected["groups"]
    if output.GetNumberOfBlocks() != len(groups):
        problems.append(f"{output.GetNumberOfBlocks()} blocks read, {len(groups)} expected")
    for index, group in enumerate(groups[: output.GetNumberOfBlocks()]):
        name = output.GetMetaData(index).Get(vtk.vtkCompositeDataSet.NAME())
        if name != group["name"]:
            problems.append(f"block {index} is named {name!r}, {group['name']!r} expected")
        block = output.GetBlock(index)
        datasets = group["datasets"]
        nb_read = block.GetNumberOfBlocks() if block is not None else 0
        if nb_read != len(datasets):
            problems.append(f"{group['name']}: {nb_read} datasets read, {len(datasets)} expected")
            continue
        for position, dataset in enumerate(datasets):
            where = f"{group['name']}/{dataset['name']}"
            read_name = block.GetMetaData(position).Get(vtk.vtkCompositeDataSet.NAME())
            if read_name != dataset["name"]:
                problems.append(f"{where}: named {read_name!r}")
            check_dataset(block.GetBlock(position), dataset, where, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
