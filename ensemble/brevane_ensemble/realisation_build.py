"""The work of one realisation, stage by stage: load or generate, perturb,
inspect, build with cells, summarise, save. Runs in a child process of a
worker (see child_process), which holds one model at a time and sends back
only the record."""

from __future__ import annotations

import os
import pathlib
import time
from contextlib import contextmanager
from typing import Any, Dict, Iterator, Optional

import brevane_varnholt_py_pillar as pillar
import tessark

from .description import EnsembleBase, Perturbations, Realisation, realisation_file_name
from .model_input import load_base_model
from .perturbation import shift_horizons
from .records import Record, empty_record
from .summary import block_column_names, summarise_blocks


class StageError(Exception):
    """An exception raised in a stage, with the stage's name."""

    def __init__(self, stage: str, error: BaseException) -> None:
        text = str(error) or type(error).__name__
        super().__init__(f"{stage}: {text}")


@contextmanager
def _stage(record: Record, stage: str) -> Iterator[None]:
    start = time.perf_counter()
    try:
        yield
    except Exception as error:
        raise StageError(stage, error) from error
    finally:
        record["times"][stage] = time.perf_counter() - start


def inspection_finds_problems(report: str) -> bool:
    """Whether an inspection report lists a problem: each check's first line
    reads "no issues with <check>" or "<count> issues with <check>"."""
    return any(
        line and not line.startswith(("\t", "no issues with")) for line in report.splitlines()
    )


def build_realisation(realisation: Realisation, out: Optional[str]) -> Record:
    """Builds the realisation and returns its record: "built", "refused"
    with the inspection report, or "failed" with "<stage>: <error>". The
    model file goes to out when given."""
    record = empty_record(realisation)
    base = realisation.base
    try:
        with _stage(record, "load"):
            pillar.VarnholtPillarLibrary.initialize()
            loaded = load_base_model(base.model, base.perturbations, realisation.seed)
        with _stage(record, "perturb"):
            shift_horizons(
                loaded.model,
                base.perturbations,
                realisation.seed,
                loaded.top_surfaces + loaded.bottom_surfaces,
            )
        with _stage(record, "inspect"):
            builder = pillar.PillarStructuralModelBuilder(
                loaded.model, loaded.top_surfaces, loaded.bottom_surfaces
            )
            report = builder.is_model_construction_possible().string()
        if inspection_finds_problems(report):
            record["status"] = "refused"
            record["message"] = report
            return record
        with _stage(record, "build"):
            options = pillar.PillarStructuralModelOptions()
            options.add_block_mesh = True
            result = builder.build(options)
            record["nb_slices"] = len(result.slice_collection_order)
        with _stage(record, "summarise"):
            summary = summarise_blocks(loaded.model)
            record["cells"] = summary.cells
            record["volumes"] = summary.volumes
            record["nb_inverted_cells"] = summary.nb_inverted_cells
        if out is not None:
            with _stage(record, "save"):
                os.makedirs(out, exist_ok=True)
                path = pathlib.Path(out) / realisation_file_name(realisation.index)
                tessark.save_model(loaded.model, path)
    except StageError as error:
        record["message"] = str(error)
        return record
    record["status"] = "built"
    return record


def describe_base(base: EnsembleBase) -> Dict[str, Any]:
    """The names the table and the perturbations refer to: the volume
    column of every block and the horizon names of the unperturbed base."""
    pillar.VarnholtPillarLibrary.initialize()
    loaded = load_base_model(base.model, Perturbations(), 0)
    blocks = loaded.model.blocks()
    return {
        "blocks": block_column_names([b.name for b in blocks], [str(b.id) for b in blocks]),
        "horizons": [horizon.name for horizon in loaded.model.horizons()],
        "nb_faults": loaded.model.nb_faults(),
    }
