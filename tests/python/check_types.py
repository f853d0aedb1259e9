"""Runs mypy --strict (with mypy.ini beside this file) on the walk-through
of docs/python.md, written out as one script, and on the ensemble package,
against the .pyi stubs of the modules on PYTHONPATH. Exits with mypy's code.

    PYTHONPATH=build/python /usr/bin/python3 tests/python/check_types.py
"""

import os
import pathlib
import re
import sys
import tempfile

from mypy import api

import brevane_ensemble

HERE = pathlib.Path(__file__).resolve().parent
DOCUMENT = HERE.parents[1] / "docs" / "python.md"


def main():
    blocks = re.findall(
        r"^```python\n(.*?)^```$", DOCUMENT.read_text(encoding="utf-8"), flags=re.M | re.S
    )
    package = pathlib.Path(brevane_ensemble.__file__).parent
    with tempfile.TemporaryDirectory(prefix="brevane_mypy_") as folder:
        walkthrough = pathlib.Path(folder) / "python_walkthrough.py"
        walkthrough.write_text("\n".join(blocks), encoding="utf-8")
        # The stubs are found through MYPYPATH, next to the modules.
        os.environ["MYPYPATH"] = str(package.parent)
        report, errors, code = api.run([
            "--config-file", str(HERE / "mypy.ini"),
            "--cache-dir", str(pathlib.Path(folder) / "cache"),
            str(walkthrough),
            str(package),
        ])
    sys.stdout.write(report)
    sys.stderr.write(errors)
    return code


if __name__ == "__main__":
    sys.exit(main())
