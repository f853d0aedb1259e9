"""The command line: python3 -m brevane_ensemble --out DIR [options].

Every option is a "--name value" pair (or a flag), in any order, so that a
wrapper can pass its arguments through unchanged. Writes DIR/ensemble.csv
and DIR/volumes.png (and the model files in DIR/models with
--save-models); prints the progress on standard output.

Every argument is checked before the cluster starts: a bad value, a
perturbation of a horizon the base model does not have, a model file that
cannot be read or an output folder that cannot be written is a one-line
usage error.

Exit codes: 0 when the ensemble ran (whatever each realisation gave),
1 when it could not run (scheduler unreachable, base model broken in a way
only reading it all shows), 2 for bad arguments.
"""

from __future__ import annotations

import argparse
import math
import os
import sys
from typing import List, Optional, Sequence, Tuple

from .description import (
    BaseModel,
    EnsembleBase,
    FactoryModel,
    ModelFile,
    Perturbations,
    ThrowChange,
    check_perturbations,
)
from .fields import ConstantShift, RandomShift, Shift
from .progress import ProgressPrinter
from .records import STATUSES
from .table import Table, write_csv

TABLE_FILE = "ensemble.csv"
PICTURE_FILE = "volumes.png"
MODELS_FOLDER = "models"

# The environment variable naming the command that runs this module, for
# the usage line (a wrapper such as "brevane ensemble" sets it).
PROGRAM_VARIABLE = "BREVANE_ENSEMBLE_PROGRAM"

# Factory options and their defaults, applied when no model file is given.
_FACTORY_DEFAULTS = {
    "horizons": FactoryModel.nb_horizons,
    "faults": FactoryModel.nb_faults,
    "top_triangles": FactoryModel.target_top_triangles,
    "factory_seed": FactoryModel.seed,
}


class UsageError(Exception):
    pass


def _positive_int(text: str) -> int:
    value = int(text)
    if value < 1:
        raise argparse.ArgumentTypeError(f"must be >= 1, not {value}")
    return value


def _non_negative_int(text: str) -> int:
    value = int(text)
    if value < 0:
        raise argparse.ArgumentTypeError(f"must be >= 0, not {value}")
    return value


def _finite_float(text: str) -> float:
    try:
        value = float(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"expected a number, not {text!r}") from None
    if not math.isfinite(value):
        raise argparse.ArgumentTypeError(f"must be a finite number, not {text}")
    return value


def _non_negative_float(text: str) -> float:
    value = _finite_float(text)
    if value < 0:
        raise argparse.ArgumentTypeError(f"must be >= 0, not {text}")
    return value


def _positive_float(text: str) -> float:
    value = _finite_float(text)
    if value <= 0:
        raise argparse.ArgumentTypeError(f"must be a positive number, not {text}")
    return value


def _named_value(text: str) -> Tuple[str, float]:
    name, separator, value = text.rpartition("=")
    if not separator or not name:
        raise argparse.ArgumentTypeError(f"expected NAME=LENGTH, not {text!r}")
    return name, _finite_float(value)


def _add_base_options(parser: argparse.ArgumentParser) -> None:
    base = parser.add_argument_group(
        "base model", "a model file, or the sample-model factory (the default)"
    )
    base.add_argument("--model", metavar="FILE", help="model file (.vtm) of the base model")
    for side in ("top", "bottom"):
        base.add_argument(
            f"--{side}",
            metavar="NAME",
            action="append",
            default=[],
            help=f"collection or surface forming the {side} of a model file "
            f'(repeatable; default: the model boundary "{side}")',
        )
    factory_options = [
        ("--horizons", "H", _positive_int, "number of horizons"),
        ("--faults", "F", _non_negative_int, "number of faults"),
        ("--top-triangles", "N", _positive_int, "triangles of the topography"),
        ("--factory-seed", "SEED", _non_negative_int, "seed of the base model's meshes"),
    ]
    for option, metavar, kind, text in factory_options:
        default = _FACTORY_DEFAULTS[option[2:].replace("-", "_")]
        base.add_argument(
            option, metavar=metavar, type=kind, help=f"factory: {text} (default {default})"
        )


def _add_perturbation_options(parser: argparse.ArgumentParser) -> None:
    perturbations = parser.add_argument_group(
        "perturbations", "lengths in model units; a positive depth shift moves down"
    )
    perturbations.add_argument(
        "--depth-std",
        metavar="LENGTH",
        type=_non_negative_float,
        default=0.0,
        help="standard deviation of the random depth shift of every horizon (default 0)",
    )
    perturbations.add_argument(
        "--correlation-length",
        metavar="LENGTH",
        type=_positive_float,
        default=200.0,
        help="correlation length of the random depth shifts (default 200)",
    )
    perturbations.add_argument(
        "--horizon-shift",
        metavar="NAME=LENGTH",
        type=_named_value,
        action="append",
        default=[],
        help="constant depth shift of a horizon, added to its random one (repeatable)",
    )
    perturbations.add_argument(
        "--throw-std",
        metavar="LENGTH",
        type=_non_negative_float,
        default=0.0,
        help="factory: standard deviation of the change of every fault throw (default 0)",
    )


def _add_run_options(parser: argparse.ArgumentParser) -> None:
    run = parser.add_argument_group("run")
    run.add_argument(
        "-n",
        "--realisations",
        metavar="N",
        type=_positive_int,
        default=8,
        help="number of realisations (default 8)",
    )
    run.add_argument(
        "--seed",
        metavar="SEED",
        type=_non_negative_int,
        default=0,
        help="ensemble seed (default 0)",
    )
    cluster = run.add_mutually_exclusive_group()
    cluster.add_argument(
        "--workers",
        metavar="W",
        type=_positive_int,
        help="worker processes of the local cluster (default: one per core)",
    )
    cluster.add_argument(
        "--scheduler",
        metavar="ADDRESS",
        help="address of a running Dask scheduler, e.g. tcp://host:8786",
    )
    run.add_argument(
        "--time-limit",
        metavar="SECONDS",
        type=_positive_float,
        default=600.0,
        help="seconds a realisation may take before it is killed (default 600)",
    )
    run.add_argument(
        "--save-models",
        action="store_true",
        help=f"write the model file of every built realisation into DIR/{MODELS_FOLDER}",
    )


def program_name() -> str:
    """The command the user typed, for the usage line: the one a wrapper
    names in BREVANE_ENSEMBLE_PROGRAM, or this interpreter running the
    module."""
    return os.environ.get(PROGRAM_VARIABLE) or (
        f"{os.path.basename(sys.executable) or 'python3'} -m brevane_ensemble"
    )


def make_parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(
        prog=program_name(),
        description=(
            "Builds an ensemble of perturbed structural realisations as pillar "
            "models with cells on a Dask cluster, and writes their table and "
            "volume histograms."
        ),
    )
    parser.add_argument(
        "--out", metavar="DIR", required=True, help="output folder (created if missing)"
    )
    _add_base_options(parser)
    _add_perturbation_options(parser)
    _add_run_options(parser)
    return parser


def _named_shift(std: float, length: float, mean: float) -> Shift:
    return RandomShift(std, length, mean=mean) if std > 0 else ConstantShift(mean)


def make_base(arguments: argparse.Namespace) -> EnsembleBase:
    """The ensemble base the arguments describe; UsageError when they
    contradict each other."""
    factory_given_names = [
        name for name in _FACTORY_DEFAULTS if getattr(arguments, name) is not None
    ]
    factory_given = ["--" + name.replace("_", "-") for name in factory_given_names]
    model: BaseModel
    if arguments.model is not None:
        if factory_given:
            raise UsageError(f"{', '.join(factory_given)} apply to factory models, not to --model")
        model = ModelFile(arguments.model, tuple(arguments.top), tuple(arguments.bottom))
    else:
        if arguments.top or arguments.bottom:
            raise UsageError("--top and --bottom apply to --model files")
        values = dict(_FACTORY_DEFAULTS)
        values.update({name: getattr(arguments, name) for name in factory_given_names})
        model = FactoryModel(
            nb_horizons=values["horizons"],
            nb_faults=values["faults"],
            target_top_triangles=values["top_triangles"],
            seed=values["factory_seed"],
        )
    horizon_shifts = {}
    for name, value in arguments.horizon_shift:
        if name in horizon_shifts:
            raise UsageError(f"--horizon-shift: {name} is given twice")
        horizon_shifts[name] = _named_shift(
            arguments.depth_std, arguments.correlation_length, value
        )
    every_horizon = (
        RandomShift(arguments.depth_std, arguments.correlation_length)
        if arguments.depth_std > 0
        else None
    )
    perturbations = Perturbations(
        horizon_shifts=horizon_shifts,
        every_horizon=every_horizon,
        every_fault=ThrowChange(std=arguments.throw_std) if arguments.throw_std > 0 else None,
    )
    try:
        return EnsembleBase(model, perturbations)
    except ValueError as error:
        raise UsageError(str(error)) from error


def output_folder(path: str) -> str:
    """The absolute output folder, created when missing; UsageError when a
    file stands there or it cannot be created or written."""
    out = os.path.abspath(path)
    existing = out
    while not os.path.exists(existing):
        existing = os.path.dirname(existing)
    if not os.path.isdir(existing):
        raise UsageError(f"--out {path}: {existing} is a file, not a folder")
    if not os.access(existing, os.W_OK | os.X_OK):
        raise UsageError(f"--out {path}: {existing} cannot be written")
    try:
        os.makedirs(out, exist_ok=True)
    except OSError as error:
        raise UsageError(f"--out {path}: {error.strerror or error}") from None
    return out


def _summary_line(table: Table) -> str:
    counts = [f"{int((table['status'] == status).sum())} {status}" for status in STATUSES]
    return f"{len(table)} realisations: " + ", ".join(counts)


def main(argv: Optional[Sequence[str]] = None) -> int:
    parser = make_parser()
    arguments = parser.parse_args(argv)
    # Everything is checked before the cluster starts.
    try:
        base = make_base(arguments)
        check_perturbations(base)
        out = output_folder(arguments.out)
    except (UsageError, ValueError) as error:
        parser.error(str(error))
    # Imported here: Dask and matplotlib are slow to import, and --help or
    # a usage error needs neither.
    from .histogram import write_volume_histograms
    from .runner import run_ensemble

    try:
        table = run_ensemble(
            base,
            arguments.realisations,
            arguments.seed,
            client=arguments.scheduler,
            out=os.path.join(out, MODELS_FOLDER) if arguments.save_models else None,
            time_limit=arguments.time_limit,
            workers=arguments.workers,
            progress=ProgressPrinter(sys.stdout),
        )
    except ValueError as error:
        parser.error(str(error))
    except (OSError, RuntimeError) as error:
        print(f"{parser.prog}: error: {error}", file=sys.stderr)
        return 1
    table_path = os.path.join(out, TABLE_FILE)
    picture_path = os.path.join(out, PICTURE_FILE)
    write_csv(table, table_path)
    write_volume_histograms(table, picture_path)
    lines: List[str] = [_summary_line(table), f"table: {table_path}", f"picture: {picture_path}"]
    print("\n".join(lines))
    return 0
