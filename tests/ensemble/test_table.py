"""The table of an ensemble and its CSV file."""

import math

import numpy as np
import pytest

import brevane_ensemble as ensemble
from brevane_ensemble.records import empty_record
from brevane_ensemble.table import make_table

BLOCKS = ["block_a", "block b, with a comma"]


def record(index, status, volumes=None, message=""):
    base = ensemble.EnsembleBase(ensemble.FactoryModel())
    realisation = ensemble.Realisation(base, index, 1000 + index)
    result = empty_record(realisation, message)
    result["status"] = status
    if status == "built":
        result["times"] = {stage: 0.5 for stage in result["times"]}
        result["times"]["total"] = 3.0
        result["nb_slices"] = 9
        result["cells"] = {"tetrahedron": 1, "pyramid": 2, "prism": 30, "hexahedron": 0}
        result["volumes"] = volumes
    return result


@pytest.fixture
def table():
    records = [
        record(2, "failed", message="build: Should have found order before"),
        record(0, "built", {"block_a": 10.5, "block b, with a comma": 2.25}),
        record(1, "refused", message="1 issues with A.\n\tvertex 3\nno issues with B.\n"),
    ]
    return make_table(records, BLOCKS)


def test_rows_are_in_index_order_with_fixed_columns(table):
    assert list(table["index"]) == [0, 1, 2]
    assert list(table["seed"]) == [1000, 1001, 1002]
    assert list(table["status"]) == ["built", "refused", "failed"]
    assert ensemble.volume_columns(table) == ["volume:" + name for name in BLOCKS]
    assert table["total_volume"][0] == 12.75
    assert table["volume:block_a"][0] == 10.5
    assert table["cells_prism"][0] == 30 and table["nb_slices"][0] == 9
    assert math.isnan(table["total_volume"][2]) and math.isnan(table["time_build"][2])
    assert table["message"][2] == "build: Should have found order before"


def test_a_block_outside_the_columns_counts_in_the_total_only():
    table = make_table([record(0, "built", {"block_a": 1.0, "extra": 4.0})], ["block_a"])
    assert ensemble.volume_columns(table) == ["volume:block_a"]
    assert table["total_volume"][0] == 5.0


def test_csv_round_trip_keeps_every_value(table, tmp_path):
    path = tmp_path / "sub" / "ensemble.csv"
    ensemble.write_csv(table, str(path))
    read = ensemble.read_csv(str(path))
    assert read.dtype == table.dtype
    for name in table.dtype.names:
        if table.dtype[name].kind == "f":
            assert np.array_equal(read[name], table[name], equal_nan=True), name
        else:
            assert list(read[name]) == list(table[name]), name


def test_csv_header_names_the_columns(table, tmp_path):
    path = tmp_path / "ensemble.csv"
    ensemble.write_csv(table, str(path))
    header = path.read_text().splitlines()[0]
    assert header.startswith("index,seed,status,message,time_load,time_perturb,time_inspect,")
    assert header.endswith('volume:block_a,"volume:block b, with a comma"')


def test_an_empty_table_has_the_columns_and_no_row(tmp_path):
    path = tmp_path / "empty.csv"
    ensemble.write_csv(make_table([], BLOCKS), str(path))
    read = ensemble.read_csv(str(path))
    assert len(read) == 0 and ensemble.volume_columns(read) == ["volume:" + b for b in BLOCKS]


@pytest.mark.parametrize(
    "text, message",
    [
        ("", "empty file"),
        ("index,seed\n1,2\n", "not the one of an ensemble table"),
    ],
)
def test_other_files_are_refused(tmp_path, text, message):
    path = tmp_path / "other.csv"
    path.write_text(text)
    with pytest.raises(ValueError, match=message):
        ensemble.read_csv(str(path))


def test_a_short_row_is_refused(table, tmp_path):
    path = tmp_path / "short.csv"
    ensemble.write_csv(table, str(path))
    path.write_text(path.read_text() + "3,4,built\n")
    with pytest.raises(ValueError, match="record 4: 3 values"):
        ensemble.read_csv(str(path))
