"""Progress of an ensemble on a text stream: on a terminal, one line
rewritten with "\r" as realisations finish; otherwise (a log file, a
pipe), one line per finished realisation."""

from __future__ import annotations

import sys
import time
from typing import Dict, Optional, TextIO

from .records import STATUSES, Record

_BAR_WIDTH = 30


class ProgressPrinter:
    """A progress callback of run_ensemble: call it with each finished
    record, the number finished so far and the total."""

    def __init__(self, stream: Optional[TextIO] = None, interactive: Optional[bool] = None):
        self.stream = stream if stream is not None else sys.stderr
        isatty = getattr(self.stream, "isatty", None)
        self.interactive = bool(isatty and isatty()) if interactive is None else interactive
        self.counts: Dict[str, int] = {status: 0 for status in STATUSES}
        self.start = time.perf_counter()

    def __call__(self, record: Record, nb_done: int, nb_total: int) -> None:
        self.counts[record["status"]] = self.counts.get(record["status"], 0) + 1
        if self.interactive:
            self.stream.write("\r" + self.bar_line(nb_done, nb_total))
            if nb_done == nb_total:
                self.stream.write("\n")
        else:
            self.stream.write(self.record_line(record, nb_done, nb_total) + "\n")
        self.stream.flush()

    def bar_line(self, nb_done: int, nb_total: int) -> str:
        filled = _BAR_WIDTH * nb_done // nb_total if nb_total else _BAR_WIDTH
        counts = ", ".join(f"{self.counts[status]} {status}" for status in STATUSES)
        elapsed = time.perf_counter() - self.start
        return (
            f"[{'#' * filled}{'.' * (_BAR_WIDTH - filled)}] {nb_done}/{nb_total} "
            f"({counts}) {elapsed:.0f} s"
        )

    @staticmethod
    def record_line(record: Record, nb_done: int, nb_total: int) -> str:
        line = (
            f"{nb_done}/{nb_total} realisation {record['index']} "
            f"(seed {record['seed']}): {record['status']}"
        )
        total = record["times"].get("total")
        if total is not None:
            line += f" in {total:.1f} s"
        if record["status"] != "built" and record["message"]:
            first_problem = next(
                (
                    text
                    for text in record["message"].splitlines()
                    if text and not text.startswith("no issues with")
                ),
                "",
            )
            line += f": {first_problem.strip()}"
        return line
