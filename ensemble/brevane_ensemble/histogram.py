"""The picture of an ensemble: one histogram per block of its rock volume
over the built realisations, and one of the total volume."""

from __future__ import annotations

import math
import os

import numpy as np
import numpy.typing as npt
from matplotlib.backends.backend_agg import FigureCanvasAgg
from matplotlib.figure import Figure
from matplotlib.ticker import MaxNLocator

from .table import VOLUME_PREFIX, Table, volume_columns

# Inches per histogram panel.
_PANEL_SIZE = (3.2, 2.4)


def is_constant(values: npt.NDArray[np.float64]) -> bool:
    """Whether the values differ by no more than rounding (relative 1e-9),
    so that a histogram of them would be one bar."""
    spread = float(values.max() - values.min())
    return spread <= 1e-9 * max(1.0, float(np.abs(values).max()))


def write_volume_histograms(table: Table, path: str) -> None:
    """Writes a PNG (Agg, no display needed) of the volume histograms of
    the built rows of the table; a panel reads "no built realisation" when
    there is none, and gives the value when it is the same in every built
    realisation."""
    built = table[table["status"] == "built"]
    columns = ["total_volume"] + volume_columns(table)
    nb_columns = math.ceil(math.sqrt(len(columns)))
    nb_rows = math.ceil(len(columns) / nb_columns)
    figure = Figure(figsize=(_PANEL_SIZE[0] * nb_columns, _PANEL_SIZE[1] * nb_rows))
    FigureCanvasAgg(figure)
    figure.suptitle(f"Rock volume over {len(built)} built of {len(table)} realisations")
    for number, column in enumerate(columns, start=1):
        axes = figure.add_subplot(nb_rows, nb_columns, number)
        title = "all blocks" if column == "total_volume" else column[len(VOLUME_PREFIX):]
        axes.set_title(title, fontsize="small")
        values = built[column][np.isfinite(built[column])]
        if values.size == 0:
            axes.text(0.5, 0.5, "no built realisation", ha="center", va="center")
            axes.set_axis_off()
            continue
        if is_constant(values):
            # One bar of arbitrary width says nothing: the value says it all.
            axes.text(
                0.5,
                0.5,
                f"the same in all {values.size}:\n{values[0]:.6g}",
                ha="center",
                va="center",
            )
            axes.set_axis_off()
            continue
        axes.hist(values, bins=max(1, min(20, values.size)))
        axes.tick_params(labelsize="x-small")
        axes.ticklabel_format(axis="x", style="sci", scilimits=(0, 0), useOffset=False)
        axes.xaxis.set_major_locator(MaxNLocator(4))
    figure.tight_layout()
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    figure.savefig(path, format="png", dpi=100)
