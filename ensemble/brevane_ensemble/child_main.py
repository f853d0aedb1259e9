"""The child side of child_process: python -m brevane_ensemble.child_main
TASK RESULT reads the pickled (job, arguments) from TASK, runs the job and
pickles (True, result) or (False, error text) into RESULT."""

from __future__ import annotations

import os
import pickle
import sys
import traceback
from typing import Any, Callable, Dict

from .realisation_build import build_realisation, describe_base

JOBS: Dict[str, Callable[..., Any]] = {
    "build_realisation": build_realisation,
    "describe_base": describe_base,
}


def main(task_path: str, result_path: str) -> None:
    with open(task_path, "rb") as task_file:
        job, arguments = pickle.load(task_file)
    try:
        outcome = (True, JOBS[job](*arguments))
    except Exception as error:
        text = str(error) or type(error).__name__
        traceback.print_exc()
        outcome = (False, text)
    # Written under another name and renamed, so that a child killed while
    # writing leaves no truncated result behind.
    partial_path = result_path + ".partial"
    with open(partial_path, "wb") as result_file:
        pickle.dump(outcome, result_file, protocol=pickle.HIGHEST_PROTOCOL)
    os.replace(partial_path, result_path)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
