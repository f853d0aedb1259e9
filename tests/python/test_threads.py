"""Builds, inspections, saves and loads release the GIL: two threads
working on two models run at once."""

import threading
import time

import tessark
import brevane_varnholt_py_pillar as pillar


def default_sample(target_top_triangles):
    parameters = tessark.SampleModelParameters()
    parameters.nb_horizons = 3
    parameters.faults = tessark.spread_faults(parameters.box, 2)
    parameters.resolution.target_top_triangles = target_top_triangles
    return tessark.build_sample_model(parameters)


def run_in_two_threads(work, arguments):
    """Runs work(argument) in one thread per argument, all released at
    once; returns the (start, end) time of each call and its result."""
    barrier = threading.Barrier(len(arguments))
    spans = [None] * len(arguments)
    results = [None] * len(arguments)

    def run(index):
        barrier.wait()
        start = time.perf_counter()
        results[index] = work(arguments[index])
        spans[index] = (start, time.perf_counter())

    threads = [threading.Thread(target=run, args=(i,)) for i in range(len(arguments))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return spans, results


def overlap(spans):
    """How long every call ran at the same time."""
    return min(end for _, end in spans) - max(start for start, _ in spans)


def shortest(spans):
    return min(end - start for start, end in spans)


def test_two_threads_build_two_models_at_once():
    samples = [default_sample(5000), default_sample(5000)]

    def build(sample):
        builder = pillar.PillarStructuralModelBuilder(
            sample.model, sample.top_surfaces, sample.bottom_surfaces
        )
        assert builder.is_model_construction_possible().construction_possible
        return builder.build(pillar.PillarStructuralModelOptions())

    spans, results = run_in_two_threads(build, samples)
    # Holding the GIL, the second build could only start once the first
    # ended: the calls would not overlap at all.
    assert overlap(spans) > 0.5 * shortest(spans)
    for sample, result in zip(samples, results):
        assert len(result.slice_collection_order) == 3 * 3 + 2 + 2
        assert tessark.validate_model(sample.model) == []


def test_two_threads_save_and_load_at_once(tmp_path):
    sample = default_sample(20000)
    paths = [tmp_path / "first.vtm", tmp_path / "second.vtm"]
    # Saves and loads take tens of milliseconds: a looser bound, so that a
    # thread started late on a busy machine does not fail the test.
    spans, _ = run_in_two_threads(lambda path: tessark.save_model(sample.model, path), paths)
    assert overlap(spans) > 0.25 * shortest(spans)
    spans, models = run_in_two_threads(tessark.load_model, paths)
    assert overlap(spans) > 0.25 * shortest(spans)
    for model in models:
        assert tessark.model_differences(sample.model, model) == []


def test_the_main_thread_runs_while_a_build_runs():
    sample = default_sample(5000)
    builder = pillar.PillarStructuralModelBuilder(
        sample.model, sample.top_surfaces, sample.bottom_surfaces
    )
    thread = threading.Thread(target=builder.build, args=(pillar.PillarStructuralModelOptions(),))
    ticks = 0
    thread.start()
    while thread.is_alive():
        ticks += 1
        time.sleep(0.001)
    thread.join()
    assert ticks > 10
