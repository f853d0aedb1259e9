"""The picture of block volumes."""

import numpy as np
import pytest

import brevane_ensemble as ensemble
from brevane_ensemble.histogram import is_constant
from brevane_ensemble.records import empty_record
from brevane_ensemble.table import make_table

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def record(index, volumes):
    result = empty_record(ensemble.Realisation(None, index, index), "")
    if volumes:
        result["status"] = "built"
        result["volumes"] = volumes
    return result


@pytest.mark.parametrize(
    "records",
    [
        [record(i, {"a": 10.0 + i, "b": 5.0 - i, "c": 1.0}) for i in range(12)],
        [record(0, {"a": 1.0, "b": 2.0, "c": 3.0})],
        [record(0, None), record(1, None)],
        [],
    ],
    ids=["many", "one", "none built", "empty"],
)
def test_the_picture_is_a_png_whatever_the_table(tmp_path, records):
    path = tmp_path / "pictures" / "volumes.png"
    ensemble.write_volume_histograms(make_table(records, ["a", "b", "c"]), str(path))
    data = path.read_bytes()
    assert data.startswith(PNG_SIGNATURE) and len(data) > 1000


def test_constant_volumes_are_told_apart_from_spread_ones():
    assert is_constant(np.array([3.0e6, 3.0e6, 3.0e6 * (1 + 1e-12)]))
    assert is_constant(np.array([0.0, 0.0]))
    assert not is_constant(np.array([3.0e6, 3.0e6 + 10.0]))
    assert not is_constant(np.array([1.0, 2.0]))
