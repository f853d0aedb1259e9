"""The walk-through of docs/python.md runs as written."""

import pathlib
import re

DOCUMENT = pathlib.Path(__file__).resolve().parents[2] / "docs" / "python.md"


def python_blocks(text):
    return re.findall(r"^```python\n(.*?)^```$", text, flags=re.M | re.S)


def test_the_walkthrough_runs_as_written(tmp_path, monkeypatch, capsys):
    blocks = python_blocks(DOCUMENT.read_text(encoding="utf-8"))
    assert len(blocks) >= 8
    monkeypatch.chdir(tmp_path)
    namespace = {}
    for number, block in enumerate(blocks):
        exec(compile(block, f"{DOCUMENT.name} block {number + 1}", "exec"), namespace)
    assert (tmp_path / "pillar_model.vtm").exists()
    assert "1 issues with Points too far" in capsys.readouterr().out
