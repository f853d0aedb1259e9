"""The record of one realisation, as a worker sends it back: plain Python
values only (no model), so it is small and pickles anywhere."""

from __future__ import annotations

import math
from typing import Any, Dict

from .description import Realisation
from .summary import CELL_TYPES

# The timed stages of a realisation, in order.
STAGES = ("load", "perturb", "inspect", "build", "summarise", "save")

# The outcomes of a realisation.
STATUSES = ("built", "refused", "failed")

Record = Dict[str, Any]


def empty_record(realisation: Realisation, message: str = "") -> Record:
    """A "failed" record with no stage run: times NaN, counts 0, no volume.
    A realisation fills it stage by stage."""
    return {
        "index": realisation.index,
        "seed": realisation.seed,
        "status": "failed",
        "message": message,
        "times": {stage: math.nan for stage in STAGES},
        "nb_slices": 0,
        "cells": {name: 0 for name in CELL_TYPES},
        "nb_inverted_cells": 0,
        "volumes": {},
    }
