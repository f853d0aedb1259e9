"""Jobs run in a child process with a time limit."""

import os
import sys
import time

import pytest

import tessark

import brevane_ensemble as ensemble
from brevane_ensemble.child_process import (
    ChildProcessFailure,
    ChildTimeout,
    call_in_child_process,
    child_environment,
)
from brevane_ensemble.worker_task import run_realisation

from ensemble_support import MILD_PERTURBATIONS, SMALL_FACTORY

BASE = ensemble.EnsembleBase(SMALL_FACTORY, MILD_PERTURBATIONS)


def test_the_result_comes_back_from_the_child():
    description = call_in_child_process("describe_base", (BASE,), 60.0)
    assert description["horizons"] == ["horizon_1", "horizon_2"]


def test_a_child_over_its_time_limit_is_killed_and_reported():
    start = time.perf_counter()
    with pytest.raises(ChildTimeout, match=r"^timed out after 0.05 s$"):
        call_in_child_process("describe_base", (BASE,), 0.05)
    assert time.perf_counter() - start < 10


def test_an_exception_in_the_child_comes_back_as_its_text(tmp_path):
    missing = ensemble.EnsembleBase(ensemble.ModelFile(str(tmp_path / "missing.vtm")))
    with pytest.raises(ChildProcessFailure, match="missing.vtm"):
        call_in_child_process("describe_base", (missing,), 60.0)


def test_an_unknown_job_is_reported():
    with pytest.raises(ChildProcessFailure, match="no_such_job"):
        call_in_child_process("no_such_job", (), 60.0)


def test_the_child_finds_the_package_and_the_modules_where_the_parent_does():
    paths = child_environment()["PYTHONPATH"].split(os.pathsep)
    assert os.path.dirname(os.path.dirname(os.path.abspath(ensemble.__file__))) == paths[0]
    assert os.path.dirname(os.path.abspath(tessark.__file__)) in paths
    assert len(paths) == len(set(paths))


@pytest.mark.parametrize(
    "script, message",
    [
        (
            "echo first >&2; echo last words >&2; kill -SEGV $$",
            "killed by SIGSEGV: first\nlast words",
        ),
        ("exit 3", "exited with code 3"),
    ],
)
def test_a_child_ending_without_result_is_reported(tmp_path, monkeypatch, script, message):
    # A stand-in interpreter that dies as a crashing realisation would.
    interpreter = tmp_path / "interpreter"
    interpreter.write_text("#!/bin/sh\n" + script + "\n")
    interpreter.chmod(0o755)
    monkeypatch.setattr(sys, "executable", str(interpreter))
    with pytest.raises(ChildProcessFailure) as failure:
        call_in_child_process("describe_base", (BASE,), 60.0)
    assert str(failure.value) == "realisation process " + message


def test_a_timed_out_realisation_gives_a_failed_record():
    record = run_realisation(ensemble.Realisation(BASE, 4, 77), None, 0.05)
    assert record["status"] == "failed"
    assert record["message"] == "timed out after 0.05 s"
    assert (record["index"], record["seed"]) == (4, 77)
    assert record["times"]["total"] >= 0.05
