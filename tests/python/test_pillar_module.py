"""The pillar module: its records, the builder, the repair and the build."""

import gc
import re
import subprocess
import sys

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from sample_support import (
    nb_slice_collections,
    push_side_vertex_off_border,
    unique_vertex_positions,
)

CLEAN_REPORT = (
    "no issues with Multi z configurations.\n"
    "no issues with Lines not crossing the entire model.\n"
    "no issues with Points too far from topography boundaries.\n"
    "no issues with Surfaces not tagged as faults or as horizons.\n"
)


def builder_of(sample):
    return pillar.PillarStructuralModelBuilder(
        sample.model, sample.top_surfaces, sample.bottom_surfaces
    )


def test_module_docstring():
    assert pillar.__doc__ == "Brevane-Varnholt Python binding for Pillar"


def test_initialize_is_static_and_may_be_called_again():
    assert pillar.VarnholtPillarLibrary.initialize.__doc__.startswith(
        "initialize() -> None"
    )
    pillar.VarnholtPillarLibrary.initialize()
    pillar.VarnholtPillarLibrary.initialize()


@pytest.mark.parametrize(
    "record",
    [
        pillar.VarnholtPillarLibrary,
        pillar.PillarStructuralModelInspectionResult,
        pillar.PillarStructuralModelBuilderResult,
    ],
)
def test_records_made_by_the_library_cannot_be_made_in_python(record):
    with pytest.raises(TypeError, match="No constructor defined!"):
        record()


def test_options_ask_for_block_meshes_by_default():
    options = pillar.PillarStructuralModelOptions()
    assert options.add_block_mesh is True
    options.add_block_mesh = False
    assert options.add_block_mesh is False


def run_python(code):
    return subprocess.run(
        [sys.executable, "-c", code], capture_output=True, text=True, check=False
    )


def test_import_brings_tessark_in():
    run = run_python(
        "import sys, brevane_varnholt_py_pillar; "
        "assert 'tessark' in sys.modules"
    )
    assert run.returncode == 0, run.stderr


def test_import_fails_when_tessark_cannot_be_imported():
    run = run_python(
        "import sys\n"
        "sys.modules['tessark'] = None\n"
        "try:\n"
        "    import brevane_varnholt_py_pillar\n"
        "except ImportError as error:\n"
        "    print(error)\n"
    )
    assert run.returncode == 0, run.stderr
    assert "import of tessark halted" in run.stdout


def test_inspection_of_a_clean_model_reports_four_checks(small_sample):
    inspection = builder_of(small_sample).is_model_construction_possible()
    assert inspection.string() == CLEAN_REPORT


def test_inspection_is_a_copy_that_outlives_its_builder(small_sample):
    push_side_vertex_off_border(small_sample)
    builder = builder_of(small_sample)
    inspection = builder.is_model_construction_possible()
    del builder
    gc.collect()
    assert "1 issues with Points too far from topography boundaries." in (
        inspection.string()
    )


def test_a_top_surface_id_naming_no_surface_is_reported_by_name(small_sample):
    missing = tessark.uuid()
    builder = pillar.PillarStructuralModelBuilder(small_sample.model, [missing], [])
    message = f"Top surface {missing} is not a surface of the model"
    with pytest.raises(RuntimeError, match=re.escape(message)):
        builder.is_model_construction_possible()
    with pytest.raises(RuntimeError, match=re.escape(message)):
        builder.build(pillar.PillarStructuralModelOptions())


def test_a_refused_build_raises_and_leaves_the_model_unchanged(small_sample):
    push_side_vertex_off_border(small_sample)
    before = small_sample.model.clone()
    builder = builder_of(small_sample)
    with pytest.raises(
        RuntimeError,
        match=r"^Pillar model construction is not possible\. Failed checks: "
        r"1 issues with Points too far from topography boundaries\.$",
    ):
        builder.build(pillar.PillarStructuralModelOptions())
    assert tessark.model_differences(before, small_sample.model) == []


def test_repair_puts_the_side_vertex_back_on_the_border(small_sample):
    unique_vertex, before = push_side_vertex_off_border(small_sample)
    builder = builder_of(small_sample)
    inspection = builder.is_model_construction_possible()
    assert "1 issues with Points too far from topography boundaries.\n\t" in (
        inspection.string()
    )
    pillar.repair_pillar_model_input(small_sample.model, inspection)
    positions = unique_vertex_positions(small_sample.model, unique_vertex)
    assert len(positions) > 1
    np.testing.assert_allclose(positions, np.tile(before, (len(positions), 1)))
    assert builder.is_model_construction_possible().string() == CLEAN_REPORT


def test_build_gives_one_slice_collection_per_group_plus_two(small_sample):
    result = builder_of(small_sample).build(pillar.PillarStructuralModelOptions())
    order = result.slice_collection_order
    assert len(order) == nb_slice_collections(2, 1)
    assert len(set(order)) == len(order)
    collections = {c.id for c in small_sample.model.surface_collections()}
    assert set(order) <= collections
    assert tessark.validate_model(small_sample.model) == []


def test_slice_collection_order_is_a_copy_each_way(small_sample):
    result = builder_of(small_sample).build(pillar.PillarStructuralModelOptions())
    order = result.slice_collection_order
    kept = list(order)
    longer = list(reversed(order)) + [tessark.uuid() for _ in range(100)]
    result.slice_collection_order = longer
    assert order == kept
    assert result.slice_collection_order == longer
    longer.clear()
    assert len(result.slice_collection_order) == len(kept) + 100


def test_pillar_links_are_inverse_dicts_in_key_order(small_sample):
    result = builder_of(small_sample).build(pillar.PillarStructuralModelOptions())
    below = result.unique_vertex_below
    above = result.unique_vertex_above
    assert below and len(below) == len(above)
    assert list(below) == sorted(below)
    assert list(above) == sorted(above)
    assert {lower: upper for upper, lower in below.items()} == above
    nb_unique_vertices = small_sample.model.nb_unique_vertices()
    assert all(0 <= vertex < nb_unique_vertices for vertex in below | above)
    # A link goes down its pillar: the same plan position, lower.
    for upper, lower in below.items():
        top = unique_vertex_positions(small_sample.model, upper)[0]
        bottom = unique_vertex_positions(small_sample.model, lower)[0]
        np.testing.assert_allclose(top[:2], bottom[:2], atol=1e-6)
        assert bottom[2] <= top[2]


def test_a_builder_outlives_the_variables_holding_its_model_and_ids():
    sample = tessark.build_sample_model(tessark.small_sample_parameters(2, 1))
    model = sample.model
    top_surfaces = sample.top_surfaces
    bottom_surfaces = sample.bottom_surfaces
    builder = pillar.PillarStructuralModelBuilder(model, top_surfaces, bottom_surfaces)
    top_surfaces.clear()
    bottom_surfaces.clear()
    del sample, model, top_surfaces, bottom_surfaces
    gc.collect()
    assert builder.is_model_construction_possible().string() == CLEAN_REPORT
    result = builder.build(pillar.PillarStructuralModelOptions())
    assert len(result.slice_collection_order) == nb_slice_collections(2, 1)
