"""Fixtures of the ensemble tests: one local Dask cluster of two worker
processes per test module."""

import pytest
from distributed import Client, LocalCluster


def pytest_configure(config):
    # Debian's tornado warns about a call Debian's distributed still makes.
    config.addinivalue_line(
        "filterwarnings", "ignore:make_current is deprecated:DeprecationWarning"
    )


@pytest.fixture(scope="module")
def client():
    with LocalCluster(
        n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None
    ) as cluster, Client(cluster) as dask_client:
        yield dask_client
