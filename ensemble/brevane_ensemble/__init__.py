"""Ensembles of structural realisations built on Dask.

A realisation is a base model (a model file, or the sample-model factory)
with horizons shifted in depth and, for factory models, fault throws
changed, all drawn from the realisation's seed; it is inspected, rebuilt as
a pillar model with cells and summarised. run_ensemble builds many of them
on a Dask cluster and returns one table row per realisation.
"""

import importlib
from typing import Any

from .description import (
    EnsembleBase,
    FactoryModel,
    ModelFile,
    Perturbations,
    Realisation,
    ThrowChange,
    make_realisations,
    realisation_file_name,
    realisation_seeds,
)
from .fields import ConstantShift, RandomShift
from .progress import ProgressPrinter
from .table import read_csv, volume_columns, write_csv

# Imported on first use: Dask and matplotlib take about a second to import,
# which every realisation's child process, started with this package, would
# pay for nothing.
_LAZY_NAMES = {
    "DEFAULT_TIME_LIMIT": "runner",
    "cluster_client": "runner",
    "run_ensemble": "runner",
    "run_realisations": "runner",
    "write_volume_histograms": "histogram",
}


def __getattr__(name: str) -> Any:
    module_name = _LAZY_NAMES.get(name)
    if module_name is None:
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    module = importlib.import_module(f".{module_name}", __name__)
    value = getattr(module, name)
    globals()[name] = value
    return value

__all__ = [
    "DEFAULT_TIME_LIMIT",
    "ConstantShift",
    "EnsembleBase",
    "FactoryModel",
    "ModelFile",
    "Perturbations",
    "ProgressPrinter",
    "RandomShift",
    "Realisation",
    "ThrowChange",
    "cluster_client",
    "make_realisations",
    "read_csv",
    "realisation_file_name",
    "realisation_seeds",
    "run_ensemble",
    "run_realisations",
    "volume_columns",
    "write_csv",
    "write_volume_histograms",
]
