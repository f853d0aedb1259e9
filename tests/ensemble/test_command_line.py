"""python3 -m brevane_ensemble: arguments, outputs and exit codes."""

import os
import subprocess
import sys

import pytest

import tessark
import brevane_ensemble as ensemble
from brevane_ensemble import runner
from brevane_ensemble.command_line import main, make_base, make_parser, program_name


def base_of(*arguments):
    return make_base(make_parser().parse_args(["--out", "x", *arguments]))


def test_factory_options_make_the_base():
    base = base_of(
        "--horizons", "4", "--faults", "1", "--top-triangles", "900", "--factory-seed", "3",
        "--depth-std", "6", "--correlation-length", "250", "--throw-std", "2",
        "--horizon-shift", "horizon_2=15",
    )
    assert base.model == ensemble.FactoryModel(
        nb_horizons=4, nb_faults=1, target_top_triangles=900, seed=3
    )
    perturbations = base.perturbations
    assert perturbations.every_horizon == ensemble.RandomShift(6.0, 250.0)
    assert perturbations.horizon_shifts == {
        "horizon_2": ensemble.RandomShift(6.0, 250.0, mean=15.0)
    }
    assert perturbations.every_fault == ensemble.ThrowChange(std=2.0)


def test_without_random_depths_shifts_are_constant():
    base = base_of("--horizon-shift", "h=a=2.5")
    assert base.perturbations.horizon_shifts == {"h=a": ensemble.ConstantShift(2.5)}
    assert base.perturbations.every_horizon is None
    assert base.perturbations.every_fault is None
    assert base.model == ensemble.FactoryModel()


def test_model_files_take_their_top_and_bottom_names():
    base = base_of("--model", "m.vtm", "--top", "a", "--top", "b", "--bottom", "c")
    assert base.model == ensemble.ModelFile("m.vtm", ("a", "b"), ("c",))


@pytest.mark.parametrize(
    "arguments, message",
    [
        (["--model", "m.vtm", "--horizons", "3"], "--horizons apply to factory models"),
        (["--top", "a"], "--top and --bottom apply to --model files"),
        (["--model", "m.vtm", "--throw-std", "1"], "Throw changes need a factory model"),
        (["--horizon-shift", "h=1", "--horizon-shift", "h=2"], "h is given twice"),
        (["--horizon-shift", "no_value"], "expected NAME=LENGTH"),
        (["--workers", "0"], "must be >= 1"),
        (["--time-limit", "0"], "must be a positive number"),
        (["--workers", "2", "--scheduler", "tcp://host:1"], "not allowed with argument"),
        (["--depth-std", "inf"], "must be a finite number, not inf"),
        (["--depth-std", "nan"], "must be a finite number, not nan"),
        (["--throw-std", "1e999"], "must be a finite number"),
        (["--correlation-length", "inf"], "must be a finite number"),
        (["--horizon-shift", "horizon_1=nan"], "must be a finite number, not nan"),
        (["--horizon-shift", "horizon_1=deep"], "expected a number, not 'deep'"),
        (["-n", "0"], "must be >= 1, not 0"),
        (["--horizon-shift", "horizon_9=2"], "no horizon named horizon_9"),
        (["--horizons", "2", "--horizon-shift", "horizon_3=2"], "(horizons: horizon_1, horizon_2)"),
        (["--model", "missing.vtm"], "The model file missing.vtm cannot be read"),
    ],
)
def test_bad_arguments_are_usage_errors_before_any_cluster(
    capsys, monkeypatch, arguments, message
):
    monkeypatch.setattr(runner, "cluster_client", refuse_cluster)
    with pytest.raises(SystemExit) as exit_:
        main(["--out", "x", *arguments])
    assert exit_.value.code == 2
    error = capsys.readouterr().err
    assert message in error
    assert error.splitlines()[-1].startswith(f"{program_name()}: error: ")


def refuse_cluster(*arguments, **options):
    raise AssertionError("a cluster was started")


def test_an_output_folder_that_cannot_be_made_is_a_usage_error(tmp_path, capsys, monkeypatch):
    monkeypatch.setattr(runner, "cluster_client", refuse_cluster)
    blocker = tmp_path / "file"
    blocker.write_text("")
    for out in (blocker, blocker / "under"):
        with pytest.raises(SystemExit) as exit_:
            main(["--out", str(out)])
        assert exit_.value.code == 2
        assert f"{blocker} is a file, not a folder" in capsys.readouterr().err


def test_a_usage_error_is_one_line_without_traceback_naming_the_command(tmp_path):
    environment = dict(os.environ, BREVANE_ENSEMBLE_PROGRAM="brevane ensemble")
    for program, extra in [(f"{os.path.basename(sys.executable)} -m brevane_ensemble", {}),
                           ("brevane ensemble", environment)]:
        completed = subprocess.run(
            [sys.executable, "-m", "brevane_ensemble", "--out", str(tmp_path / "out"),
             "--depth-std", "inf"],
            capture_output=True, text=True, check=False, env=extra or None,
        )
        assert completed.returncode == 2
        assert "Traceback" not in completed.stderr
        assert completed.stderr.startswith(f"usage: {program} ")
        assert completed.stderr.splitlines()[-1] == (
            f"{program}: error: argument --depth-std: must be a finite number, not inf"
        )
        assert not (tmp_path / "out").exists()


def test_a_run_writes_table_picture_and_models(client, tmp_path, capsys):
    out = tmp_path / "run"
    code = main([
        "--out", str(out), "-n", "3", "--seed", "8", "--horizons", "2", "--faults", "1",
        "--top-triangles", "600", "--depth-std", "4", "--scheduler", client.scheduler.address,
        "--save-models", "--time-limit", "120",
    ])
    assert code == 0
    printed = capsys.readouterr().out.splitlines()
    # Not a terminal: one line per realisation, then the summary.
    assert [line.split(" ")[0] for line in printed[:3]] == ["1/3", "2/3", "3/3"]
    assert all(": built in " in line for line in printed[:3])
    assert printed[3] == "3 realisations: 3 built, 0 refused, 0 failed"
    table = ensemble.read_csv(str(out / "ensemble.csv"))
    assert list(table["status"]) == ["built"] * 3
    assert list(table["seed"]) == ensemble.realisation_seeds(8, 3)
    assert len(ensemble.volume_columns(table)) == 6
    assert (out / "volumes.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    models = sorted(name for name in os.listdir(out / "models") if name.endswith(".vtm"))
    assert models == [ensemble.realisation_file_name(i) for i in range(3)]


def test_a_model_file_broken_inside_exits_with_1(client, tmp_path, capsys):
    # Its description reads, so the arguments pass; a mesh file does not.
    sample = tessark.build_sample_model(tessark.small_sample_parameters(2, 1))
    path = tmp_path / "base.vtm"
    tessark.save_model(sample.model, path)
    for mesh_file in (tmp_path / "base_files").glob("*.vtp"):
        mesh_file.write_text("broken")
    code = main(["--out", str(tmp_path / "out"), "--model", str(path),
                 "--scheduler", client.scheduler.address])
    assert code == 1
    assert "cannot be read" in capsys.readouterr().err


def test_the_module_runs_as_a_program():
    completed = subprocess.run(
        [sys.executable, "-m", "brevane_ensemble", "--help"],
        capture_output=True,
        text=True,
        check=False,
    )
    assert completed.returncode == 0
    assert "--scheduler ADDRESS" in completed.stdout
