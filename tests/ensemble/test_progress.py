"""The progress printer of the command line."""

import io

import brevane_ensemble as ensemble
from brevane_ensemble.records import empty_record


def record(index, status, message=""):
    result = empty_record(ensemble.Realisation(None, index, 40 + index), message)
    result["status"] = status
    result["times"]["total"] = 1.25
    return result


RECORDS = [
    record(2, "built"),
    record(0, "refused", "no issues with A.\n1 issues with B.\n\tvertex 7\n"),
    record(1, "failed", "build: folded\nsecond line"),
]


def test_a_terminal_gets_one_line_rewritten():
    stream = io.StringIO()
    printer = ensemble.ProgressPrinter(stream, interactive=True)
    for done, finished in enumerate(RECORDS, start=1):
        printer(finished, done, len(RECORDS))
    text = stream.getvalue()
    assert text.count("\r") == 3 and text.endswith("\n") and text.count("\n") == 1
    last = text.rsplit("\r", 1)[1]
    assert last.startswith("[" + "#" * 30 + "] 3/3 (1 built, 1 refused, 1 failed)")
    assert "] 1/3 (1 built, 0 refused, 0 failed)" in text


def test_a_log_gets_one_line_per_realisation_with_its_first_problem():
    stream = io.StringIO()
    printer = ensemble.ProgressPrinter(stream, interactive=False)
    for done, finished in enumerate(RECORDS, start=1):
        printer(finished, done, len(RECORDS))
    assert stream.getvalue().splitlines() == [
        "1/3 realisation 2 (seed 42): built in 1.2 s",
        "2/3 realisation 0 (seed 40): refused in 1.2 s: 1 issues with B.",
        "3/3 realisation 1 (seed 41): failed in 1.2 s: build: folded",
    ]


def test_a_stream_that_is_no_terminal_gets_lines():
    assert not ensemble.ProgressPrinter(io.StringIO()).interactive
