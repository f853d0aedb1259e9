"""The interpreter version check the pillar module runs on import."""

import re
import sys

import pytest

import brevane_varnholt_py_pillar as pillar

COMPILED = "3.11"


@pytest.mark.parametrize(
    "version",
    [
        "3.12.1 (main, Jan  1 2024, 00:00:00) [GCC 12.2.0]",
        "3.110",
        "3.1",
        "2.7.18",
        "",
    ],
)
def test_other_versions_are_refused_with_both_versions_named(version):
    message = (
        "Python version mismatch: module was compiled for Python "
        f"{COMPILED}, but the interpreter version is incompatible: {version}."
    )
    with pytest.raises(ImportError, match=f"^{re.escape(message)}$"):
        pillar._check_python_version(version)


@pytest.mark.parametrize(
    "version", ["3.11.2 (main, Mar 13 2023, 12:18:29) [GCC 12.2.0]", "3.11", "3.11+"]
)
def test_the_compiled_version_is_accepted(version):
    pillar._check_python_version(version)


def test_the_running_interpreter_is_accepted():
    pillar._check_python_version(sys.version)
