"""The example of docs/ensembles.md runs as a script, as written."""

import os
import pathlib
import re
import subprocess
import sys

import brevane_ensemble

DOCUMENT = pathlib.Path(__file__).resolve().parents[2] / "docs" / "ensembles.md"


def python_blocks(text):
    return re.findall(r"^```python\n(.*?)^```$", text, flags=re.M | re.S)


def test_the_example_runs_as_a_script(tmp_path):
    [script] = python_blocks(DOCUMENT.read_text(encoding="utf-8"))
    assert 'if __name__ == "__main__":' in script
    path = tmp_path / "study.py"
    path.write_text(script, encoding="utf-8")
    completed = subprocess.run(
        [sys.executable, str(path)],
        cwd=tmp_path,
        capture_output=True,
        text=True,
        timeout=280,
        # The script runs from its own folder: the modules' folder is given
        # as an absolute path.
        env=dict(os.environ, PYTHONPATH=str(pathlib.Path(brevane_ensemble.__file__).parents[1])),
        check=False,
    )
    assert completed.returncode == 0, completed.stderr[-2000:]
    assert "Traceback" not in completed.stderr
    assert (tmp_path / "study" / "ensemble.csv").exists()
    assert (tmp_path / "study" / "volumes.png").exists()
    assert (tmp_path / "study" / "realisation_0003.vtm").exists()
    volume_lines = [line for line in completed.stdout.splitlines() if line.startswith("volume:")]
    assert len(volume_lines) == 12
