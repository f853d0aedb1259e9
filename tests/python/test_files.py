"""Model files, model comparison and the validator."""

import pathlib

import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from sample_support import nb_slice_collections, push_side_vertex_off_border


@pytest.mark.parametrize("as_path", [False, True])
def test_a_saved_model_loads_without_difference(small_sample, tmp_path, as_path):
    path = tmp_path / "model.vtm"
    tessark.save_model(small_sample.model, path if as_path else str(path))
    assert path.exists() and (tmp_path / "model_files").is_dir()
    loaded = tessark.load_model(path if as_path else str(path))
    assert isinstance(loaded, tessark.StructuralModel)
    assert tessark.model_differences(small_sample.model, loaded) == []
    assert tessark.validate_model(loaded) == []


def test_a_loaded_model_builds(small_sample, tmp_path):
    path = tmp_path / "model.vtm"
    tessark.save_model(small_sample.model, path)
    loaded = tessark.load_model(path)
    builder = pillar.PillarStructuralModelBuilder(
        loaded, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    result = builder.build(pillar.PillarStructuralModelOptions())
    assert len(result.slice_collection_order) == nb_slice_collections(2, 1)
    assert tessark.validate_model(loaded) == []


def test_differences_name_what_changed(small_sample):
    copy = small_sample.model.clone()
    push_side_vertex_off_border(small_sample)
    differences = tessark.model_differences(copy, small_sample.model)
    assert differences
    assert all(isinstance(line, str) and line for line in differences)


def test_loading_a_missing_file_names_it(tmp_path):
    path = tmp_path / "missing.vtm"
    with pytest.raises(RuntimeError, match="missing.vtm"):
        tessark.load_model(path)


def test_saving_where_no_file_can_be_written_names_it(small_sample, tmp_path):
    blocker = tmp_path / "file"
    blocker.write_text("")
    with pytest.raises(RuntimeError, match="file"):
        tessark.save_model(small_sample.model, blocker / "model.vtm")


def test_the_validator_lists_problems_as_lines(small_sample):
    assert tessark.validate_model(small_sample.model) == []
    assert tessark.validate_model(tessark.StructuralModel()) == []
