"""The tasks a Dask worker runs. Each one starts a child process for its
realisation (see child_process), so a worker holds no model: only the
record of the realisation goes back to the client."""

from __future__ import annotations

import time
from typing import Any, Dict, Optional

from .child_process import ChildProcessFailure, call_in_child_process
from .description import EnsembleBase, Realisation
from .records import Record, empty_record


def run_realisation(
    realisation: Realisation, out: Optional[str], time_limit: Optional[float]
) -> Record:
    """Builds one realisation in a child process and returns its record,
    with "total" the wall time of the child (start-up included). Never
    raises for a failure of the realisation: a timeout or a crash gives a
    "failed" record with its message."""
    start = time.perf_counter()
    try:
        record: Record = call_in_child_process("build_realisation", (realisation, out), time_limit)
    except ChildProcessFailure as failure:
        record = empty_record(realisation, str(failure))
    record["times"]["total"] = time.perf_counter() - start
    return record


def describe_base(base: EnsembleBase) -> Dict[str, Any]:
    """The block and horizon names of the base, read in a child process
    without time limit: loading the base is not expected to hang, and the
    table's columns must not depend on the realisations' time limit."""
    description: Dict[str, Any] = call_in_child_process("describe_base", (base,), None)
    return description
