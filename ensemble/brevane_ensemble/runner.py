"""run_ensemble: builds the realisations of an ensemble as Dask tasks, one
task per realisation, and gathers their records into a table.

The client sends each worker the small description of a realisation and
gets back its record: models stay in the workers' child processes.
"""

from __future__ import annotations

import math
import os
from contextlib import contextmanager
from typing import Callable, Dict, Iterator, List, Optional, Sequence, Set, Union

import numpy as np
from distributed import Client, LocalCluster, as_completed

from .description import (
    BaseModel,
    EnsembleBase,
    ModelFile,
    Realisation,
    check_perturbations,
    make_realisations,
)
from .records import Record, empty_record
from .table import Table, make_table
from .worker_task import describe_base, run_realisation

# Called after each finished realisation with its record, the number of
# realisations finished so far and their total.
ProgressCallback = Callable[[Record, int, int], None]

DEFAULT_TIME_LIMIT = 600.0


@contextmanager
def cluster_client(
    client: Union[Client, str, None], workers: Optional[int]
) -> Iterator[Client]:
    """The client to use: the given one (left open), one connected to the
    given scheduler address, or one of a new local cluster of worker
    processes (workers of them, one thread each; all cores by default).
    Clients and clusters made here are closed on exit."""
    if client is not None and workers is not None:
        raise ValueError(
            "The number of workers is the one of a local cluster: "
            "it cannot be given with a client or a scheduler address"
        )
    if isinstance(client, Client):
        yield client
        return
    if client is not None:
        with Client(client) as connected:
            yield connected
        return
    nb_workers = workers if workers is not None else (os.cpu_count() or 1)
    if nb_workers < 1:
        raise ValueError(f"The number of workers must be >= 1, not {nb_workers}")
    with LocalCluster(
        n_workers=nb_workers,
        threads_per_worker=1,
        processes=True,
        dashboard_address=None,
    ) as cluster, Client(cluster) as local:
        yield local


def _check_time_limit(time_limit: Optional[float]) -> None:
    if time_limit is not None and not (time_limit > 0 and math.isfinite(time_limit)):
        raise ValueError(
            f"The time limit must be a positive number of seconds, not {time_limit}"
        )


def _describe_bases(client: Client, realisations: Sequence[Realisation]) -> List[str]:
    """Reads each distinct base model once on the cluster and returns the
    block volume columns, in order of first appearance."""
    first_base: Dict[BaseModel, EnsembleBase] = {}
    for realisation in realisations:
        first_base.setdefault(realisation.base.model, realisation.base)
    futures = {
        model: client.submit(describe_base, base, pure=False)
        for model, base in first_base.items()
    }
    descriptions = {}
    for model, future in futures.items():
        try:
            descriptions[model] = future.result()
        except Exception as error:
            origin = model.path if isinstance(model, ModelFile) else "the sample-model factory"
            raise RuntimeError(f"The base model of {origin} cannot be read: {error}") from error
    columns = (column for model in first_base for column in descriptions[model]["blocks"])
    return list(dict.fromkeys(columns))


def run_realisations(
    realisations: Sequence[Realisation],
    client: Union[Client, str, None] = None,
    out: Optional[str] = None,
    time_limit: Optional[float] = DEFAULT_TIME_LIMIT,
    workers: Optional[int] = None,
    progress: Optional[ProgressCallback] = None,
) -> Table:
    """Builds the realisations on the cluster of client (see run_ensemble)
    and returns their table, one row each in index order."""
    _check_time_limit(time_limit)
    if out is not None:
        out = os.path.abspath(out)
    if not realisations:
        return make_table([], [])
    # Before the cluster starts, so that a mistake costs no start-up.
    checked: Set[int] = set()
    for realisation in realisations:
        if id(realisation.base) not in checked:
            check_perturbations(realisation.base)
            checked.add(id(realisation.base))
    with cluster_client(client, workers) as dask_client:
        block_columns = _describe_bases(dask_client, realisations)
        futures = dask_client.map(
            run_realisation, list(realisations), out=out, time_limit=time_limit, pure=False
        )
        realisation_of = {future.key: r for future, r in zip(futures, realisations)}
        records: List[Record] = []
        for future in as_completed(futures):
            realisation = realisation_of[future.key]
            try:
                record = future.result()
            except Exception as error:
                # The task itself failed (its worker died, the cluster went
                # away): the realisation is failed, the others go on.
                text = str(error) or type(error).__name__
                record = empty_record(realisation, f"task: {text}")
            future.release()
            records.append(record)
            if progress is not None:
                progress(record, len(records), len(realisations))
    return make_table(records, block_columns)


def run_ensemble(
    base: EnsembleBase,
    n: int,
    seed: int,
    client: Union[Client, str, None] = None,
    out: Optional[str] = None,
    time_limit: Optional[float] = DEFAULT_TIME_LIMIT,
    workers: Optional[int] = None,
    progress: Optional[ProgressCallback] = None,
) -> Table:
    """Builds n realisations of base, with seeds derived from seed, and
    returns their table (see table.py for its columns).

    client: a distributed.Client, the address of a Dask scheduler
    ("tcp://host:8786"), or None for a local cluster of worker processes
    (all cores by default), made for this call and closed after it.
    out: folder of the model files of the built realisations
    (realisation_<index>.vtm); None writes none. On a cluster it must be a
    folder every worker can write.
    time_limit: seconds a realisation may take, start-up included (None:
    no limit); a realisation over it is killed and reported as failed.
    workers: the number of worker processes of the local cluster made when
    client is None (one per core by default).
    progress: called after each finished realisation with its record (a
    dict), the number finished so far and n.

    A failed realisation never stops the others. The perturbations are
    checked against the base model before the cluster starts: naming a
    horizon or fault it does not have, or a model file that cannot be read,
    raises ValueError."""
    return run_realisations(
        make_realisations(base, n, seed),
        client=client,
        out=out,
        time_limit=time_limit,
        workers=workers,
        progress=progress,
    )
