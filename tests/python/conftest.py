"""Fixtures of the Python tests: small sample models (a few hundred
triangles) built anew for each test. The library is initialised once, when
the tests are collected."""

import pytest

import brevane_varnholt_py_pillar as pillar
import tessark

pillar.VarnholtPillarLibrary.initialize()


@pytest.fixture
def small_sample():
    """Two horizons cut by one fault: six blocks, about 24 top triangles."""
    return tessark.build_sample_model(tessark.small_sample_parameters(2, 1))

