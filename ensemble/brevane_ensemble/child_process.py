"""Runs a job of this package in a child process of its own, with a time
limit: a realisation that hangs is killed, and one that crashes (a signal,
an abort, memory exhaustion) takes down only its child, never the worker.

The child is a fresh interpreter started with subprocess rather than
multiprocessing: Dask's worker processes are daemonic, and multiprocessing
refuses to start children from daemonic processes; a fresh interpreter also
shares no threads or locks with the worker. Arguments and the result
travel as pickle files in a temporary folder.
"""

from __future__ import annotations

import importlib.util
import os
import pickle
import signal
import subprocess
import sys
import tempfile
from typing import Any, Dict, Optional, Tuple

# Lines of the child's error output quoted when it ends without a result.
_QUOTED_ERROR_LINES = 5


class ChildProcessFailure(Exception):
    """The job gave no result: its process timed out, crashed or raised."""


class ChildTimeout(ChildProcessFailure):
    pass


def _module_folder(name: str) -> Optional[str]:
    """The sys.path folder a top-level module or package is imported from."""
    found = importlib.util.find_spec(name)
    if found is None or found.origin is None:
        return None
    origin = os.path.dirname(os.path.abspath(found.origin))
    return os.path.dirname(origin) if found.submodule_search_locations else origin


def child_environment() -> Dict[str, str]:
    """The worker's environment, with the folders of this package and of the
    compiled modules ahead on PYTHONPATH, so that the child imports what
    the worker would even when the worker found them through sys.path."""
    folders = [_module_folder(__package__)]
    folders += [_module_folder(name) for name in ("tessark", "brevane_varnholt_py_pillar")]
    environment = dict(os.environ)
    inherited = environment.get("PYTHONPATH", "")
    paths = [folder for folder in folders if folder] + ([inherited] if inherited else [])
    environment["PYTHONPATH"] = os.pathsep.join(dict.fromkeys(paths))
    return environment


def _exit_description(returncode: int) -> str:
    if returncode < 0:
        try:
            name = signal.Signals(-returncode).name
        except ValueError:
            name = f"signal {-returncode}"
        return f"killed by {name}"
    return f"exited with code {returncode}"


def _last_lines(text: bytes) -> str:
    lines = text.decode("utf-8", "replace").strip().splitlines()
    return "\n".join(lines[-_QUOTED_ERROR_LINES:])


def call_in_child_process(
    job: str, arguments: Tuple[Any, ...], time_limit: Optional[float]
) -> Any:
    """Runs the job of child_main.JOBS named job on the arguments in a new
    process and returns its result. Raises ChildTimeout ("timed out after
    <t> s") when it runs longer than time_limit seconds (None: no limit),
    after killing it, and ChildProcessFailure with the child's error when
    it raises or ends without a result."""
    with tempfile.TemporaryDirectory(prefix="brevane_ensemble_") as folder:
        task_path = os.path.join(folder, "task.pickle")
        result_path = os.path.join(folder, "result.pickle")
        with open(task_path, "wb") as task_file:
            pickle.dump((job, arguments), task_file, protocol=pickle.HIGHEST_PROTOCOL)
        command = [sys.executable, "-m", f"{__package__}.child_main", task_path, result_path]
        try:
            completed = subprocess.run(
                command,
                stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL,
                stderr=subprocess.PIPE,
                timeout=time_limit,
                env=child_environment(),
                check=False,
            )
        except subprocess.TimeoutExpired:
            # subprocess.run has killed the child and waited for it.
            raise ChildTimeout(f"timed out after {time_limit:g} s") from None
        if not os.path.exists(result_path):
            message = f"realisation process {_exit_description(completed.returncode)}"
            error = _last_lines(completed.stderr)
            raise ChildProcessFailure(f"{message}: {error}" if error else message)
        with open(result_path, "rb") as result_file:
            succeeded, value = pickle.load(result_file)
    if not succeeded:
        raise ChildProcessFailure(value)
    return value
