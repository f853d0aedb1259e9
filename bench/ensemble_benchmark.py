"""Scaling of brevane_ensemble: an ensemble of factory realisations built
by a plain loop in one process, then on local Dask clusters of 1 and 2
worker processes. Prints the wall times, the speed-up and the overhead per
realisation of the Dask runs (child process, scheduling, transfers)
against the loop.

    PYTHONPATH=build/python /usr/bin/python3 bench/ensemble_benchmark.py \\
        [--realisations 32] [--top-triangles 100000] [--workers 1 2] \\
        [--depth-std 1] [--throw-std 3]

With --failure-rates STD [STD ...], only the plain loop runs, once per depth
standard deviation, and prints how many realisations were built, refused or
failed, with the per-stage times of the loop.
"""

import argparse
import time

import numpy as np

import brevane_ensemble as ensemble
from brevane_ensemble.realisation_build import build_realisation
from brevane_ensemble.records import STAGES, STATUSES
from brevane_ensemble.table import make_table


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--realisations", type=int, default=32)
    parser.add_argument("--top-triangles", type=int, default=100000)
    parser.add_argument("--horizons", type=int, default=5)
    parser.add_argument("--faults", type=int, default=2)
    parser.add_argument("--workers", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--seed", type=int, default=0)
    parser.add_argument("--depth-std", type=float, default=1.0)
    parser.add_argument("--failure-rates", type=float, nargs="+", metavar="STD")
    parser.add_argument("--throw-std", type=float, default=3.0)
    parser.add_argument("--time-limit", type=float, default=3600.0)
    return parser.parse_args()


def stage_time(table, stage):
    return float(np.nansum(table[f"time_{stage}"]))


def make_base(options, depth_std):
    return ensemble.EnsembleBase(
        ensemble.FactoryModel(
            nb_horizons=options.horizons,
            nb_faults=options.faults,
            target_top_triangles=options.top_triangles,
        ),
        ensemble.Perturbations(
            every_horizon=ensemble.RandomShift(std=depth_std, correlation_length=300.0),
            every_fault=ensemble.ThrowChange(std=options.throw_std),
        ),
    )


def plain_loop(base, n, seed):
    """Every realisation built in this process, one after the other,
    without child processes: the table and the wall time."""
    start = time.perf_counter()
    realisations = ensemble.make_realisations(base, n, seed)
    records = [build_realisation(realisation, None) for realisation in realisations]
    loop_time = time.perf_counter() - start
    loop_table = make_table(records, [])
    statuses = {s: int((loop_table["status"] == s).sum()) for s in STATUSES}
    print(f"plain loop: {loop_time:.1f} s ({loop_time / n:.2f} s per realisation), {statuses}")
    print(
        "  stage means: "
        + ", ".join(f"{stage} {stage_time(loop_table, stage) / n:.2f} s" for stage in STAGES)
    )
    failed = loop_table[loop_table["status"] != "built"]
    if len(failed):
        print(f"  first problem: {failed['message'][0].splitlines()[0][:200]}")
    return loop_table, loop_time


def main():
    options = arguments()
    n = options.realisations
    print(
        f"{n} realisations, H = {options.horizons}, F = {options.faults}, "
        f"{options.top_triangles} top triangles, throw std {options.throw_std}"
    )
    if options.failure_rates:
        for depth_std in options.failure_rates:
            print(f"depth std {depth_std}:")
            plain_loop(make_base(options, depth_std), n, options.seed)
        return
    print(f"depth std {options.depth_std}")
    base = make_base(options, options.depth_std)
    loop_table, loop_time = plain_loop(base, n, options.seed)

    times = {}
    for workers in options.workers:
        start = time.perf_counter()
        with ensemble.cluster_client(None, workers) as client:
            cluster_start = time.perf_counter() - start
            start = time.perf_counter()
            table = ensemble.run_ensemble(
                base, n, options.seed, client=client, time_limit=options.time_limit
            )
            times[workers] = time.perf_counter() - start
        built = int((table["status"] == "built").sum())
        inside = np.nansum([table[f"time_{stage}"] for stage in STAGES], axis=0)
        child_overhead = float(np.nanmean(table["time_total"] - inside))
        overhead = (times[workers] * workers - loop_time) / n
        print(
            f"dask, {workers} worker(s): cluster start {cluster_start:.1f} s, then "
            f"{times[workers]:.1f} s, {built}/{n} built, "
            f"speed-up against the loop {loop_time / times[workers]:.2f}, "
            f"overhead {overhead:.2f} s per realisation and worker "
            f"(of which child start-up and transfer {child_overhead:.2f} s)"
        )
        same = list(table["status"]) == list(loop_table["status"]) and all(
            np.array_equal(table[c], loop_table[c], equal_nan=True)
            for c in ("nb_slices", "total_volume", "cells_prism")
        )
        print(f"  same results as the loop: {same}")
    if len(times) > 1:
        fewest, most = min(times), max(times)
        print(
            f"speed-up from {fewest} to {most} workers: "
            f"{times[fewest] / times[most]:.2f} (ideal {most / fewest:.0f})"
        )


if __name__ == "__main__":
    main()
