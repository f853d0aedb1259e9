"""The table of an ensemble: one row per realisation, in index order, as a
numpy structured array with fixed columns for a given base, and its CSV
file.

Columns: index, seed, status ("built", "refused", "failed"), message (the
inspection report of a refused realisation, "<stage>: <error>" of a failed
one, empty otherwise), time_<stage> in seconds for load (or generate),
perturb, inspect, build, summarise, save and total (NaN for a stage not
run), nb_slices, cells_<kind> for tetrahedron, pyramid, prism and
hexahedron, nb_inverted_cells, total_volume, and "volume:<block>" per block
of the base (NaN when not built).
"""

from __future__ import annotations

import csv
import math
import os
from typing import Iterable, List, Sequence

import numpy as np
import numpy.typing as npt

from .records import STAGES, Record
from .summary import CELL_TYPES

TIME_COLUMNS = tuple(f"time_{stage}" for stage in STAGES + ("total",))
CELL_COLUMNS = tuple(f"cells_{name}" for name in CELL_TYPES)
VOLUME_PREFIX = "volume:"

# A table: a structured array, one record per realisation.
Table = npt.NDArray[np.void]


def table_dtype(block_columns: Sequence[str]) -> np.dtype[np.void]:
    fields = [
        ("index", np.int64),
        ("seed", np.uint64),
        ("status", "U7"),
        ("message", object),
    ]
    fields += [(name, np.float64) for name in TIME_COLUMNS]
    fields += [("nb_slices", np.int64)]
    fields += [(name, np.int64) for name in CELL_COLUMNS]
    fields += [("nb_inverted_cells", np.int64), ("total_volume", np.float64)]
    fields += [(VOLUME_PREFIX + name, np.float64) for name in block_columns]
    return np.dtype(fields)


def volume_columns(table: Table) -> List[str]:
    """The block volume columns of a table, in table order."""
    return [name for name in (table.dtype.names or ()) if name.startswith(VOLUME_PREFIX)]


def make_table(records: Iterable[Record], block_columns: Sequence[str]) -> Table:
    """The table of the records, sorted by index. A volume of a block the
    base does not have is left out; total_volume adds up every block."""
    rows = sorted(records, key=lambda record: int(record["index"]))
    table = np.zeros(len(rows), dtype=table_dtype(block_columns))
    for row, record in zip(table, rows):
        row["index"] = record["index"]
        row["seed"] = record["seed"]
        row["status"] = record["status"]
        row["message"] = record["message"]
        for stage in STAGES + ("total",):
            row[f"time_{stage}"] = record["times"].get(stage, math.nan)
        row["nb_slices"] = record["nb_slices"]
        for name in CELL_TYPES:
            row[f"cells_{name}"] = record["cells"][name]
        row["nb_inverted_cells"] = record["nb_inverted_cells"]
        volumes = record["volumes"]
        row["total_volume"] = sum(volumes.values()) if volumes else math.nan
        for name in block_columns:
            row[VOLUME_PREFIX + name] = volumes.get(name, math.nan)
    return table


def _text(value: object) -> str:
    """A cell of the CSV file: floats in full precision, NaN as empty."""
    if isinstance(value, (float, np.floating)):
        return "" if math.isnan(value) else repr(float(value))
    return str(value)


def write_csv(table: Table, path: str) -> None:
    """Writes the table with a header line; messages may span lines (quoted)."""
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    with open(path, "w", newline="", encoding="utf-8") as file:
        writer = csv.writer(file)
        writer.writerow(table.dtype.names or ())
        for row in table:
            writer.writerow([_text(row[name]) for name in (table.dtype.names or ())])


def read_csv(path: str) -> Table:
    """Reads a table written by write_csv."""
    with open(path, newline="", encoding="utf-8") as file:
        reader = csv.reader(file)
        header = next(reader, None)
        if header is None:
            raise ValueError(f"{path}: empty file, no table header")
        rows = list(reader)
    blocks = [name[len(VOLUME_PREFIX):] for name in header if name.startswith(VOLUME_PREFIX)]
    dtype = table_dtype(blocks)
    if tuple(header) != dtype.names:
        raise ValueError(f"{path}: the header is not the one of an ensemble table: {header}")
    table = np.zeros(len(rows), dtype=dtype)
    for number, (row, values) in enumerate(zip(table, rows), start=1):
        if len(values) != len(header):
            raise ValueError(
                f"{path}, record {number}: {len(values)} values for {len(header)} columns"
            )
        for name, value in zip(header, values):
            kind = dtype[name].kind
            if kind == "f":
                row[name] = float(value) if value else math.nan
            elif kind in "iu":
                row[name] = int(value)
            else:
                row[name] = value
    return table
