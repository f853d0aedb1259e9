"""Errors of the right type: every error of the library is a
tessark.TessarkError (a RuntimeError), and the specific ones are also the
built-in a Python caller expects, with the library's message."""

import math

import numpy as np
import pytest

import brevane_varnholt_py_pillar as pillar
import tessark
from sample_support import push_side_vertex_off_border


def test_error_classes_subclass_the_builtins():
    expected = {
        tessark.TessarkError: RuntimeError,
        tessark.BuildError: tessark.TessarkError,
        tessark.InvalidValueError: ValueError,
        tessark.MissingFileError: FileNotFoundError,
        tessark.OutOfRangeError: IndexError,
    }
    for error_class, base in expected.items():
        assert issubclass(error_class, base) and issubclass(error_class, tessark.TessarkError)
    assert pillar.BuildError is tessark.BuildError


def _nb_unique_vertices(sample):
    return sample.model.nb_unique_vertices()


# (what is done, the built-in raised, the tessark class, a stable part of
# the message)
ERROR_CASES = [
    ("uuid text", lambda s, p: tessark.uuid("not-a-uuid"), ValueError,
     tessark.InvalidValueError, "not-a-uuid"),
    ("component kind", lambda s, p: tessark.ComponentID("Volume", tessark.uuid()),
     ValueError, tessark.InvalidValueError, '"Volume"'),
    ("missing model file", lambda s, p: tessark.load_model(p / "absent.vtm"),
     FileNotFoundError, tessark.MissingFileError, "absent.vtm"),
    ("missing TSurf description", lambda s, p: tessark.import_tsurf_model(p / "absent.json"),
     FileNotFoundError, tessark.MissingFileError, "absent.json"),
    ("component vertices of a unique vertex beyond the last",
     lambda s, p: s.model.component_mesh_vertices(_nb_unique_vertices(s)),
     IndexError, tessark.OutOfRangeError, "out of range"),
    ("negative unique vertex", lambda s, p: s.model.component_mesh_vertices(-1),
     IndexError, tessark.OutOfRangeError, "-1"),
    ("position of a unique vertex beyond the last",
     lambda s, p: s.model.set_unique_vertex_position(_nb_unique_vertices(s), [0, 0, 0]),
     IndexError, tessark.OutOfRangeError, "out of range"),
    ("point of two coordinates", lambda s, p: s.model.set_unique_vertex_position(0, [1, 2]),
     ValueError, tessark.InvalidValueError, "3 coordinates, not 2"),
    ("non-finite point", lambda s, p: s.model.set_unique_vertex_position(0, [1, math.nan, 2]),
     ValueError, tessark.InvalidValueError, "non-finite"),
    ("positions of the wrong shape",
     lambda s, p: s.model.set_unique_vertex_positions(np.zeros((3, 2))),
     ValueError, tessark.InvalidValueError, r"\(n, 3\)"),
    ("positions for fewer unique vertices than the model has",
     lambda s, p: s.model.set_unique_vertex_positions(np.zeros((3, 3))),
     ValueError, tessark.InvalidValueError, "3 positions"),
    ("bulk index beyond the last",
     lambda s, p: s.model.set_unique_vertex_positions(
         np.zeros((1, 3)), np.array([_nb_unique_vertices(s)])),
     IndexError, tessark.OutOfRangeError, "out of range"),
    ("sample parameters describing no model",
     lambda s, p: tessark.build_sample_model(_jittered(5.0)),
     ValueError, tessark.InvalidValueError, "jitter"),
]


def _jittered(jitter):
    parameters = tessark.small_sample_parameters(2, 1)
    parameters.resolution.jitter = jitter
    return parameters


@pytest.mark.parametrize(
    "action, builtin, error_class, message", [case[1:] for case in ERROR_CASES],
    ids=[case[0] for case in ERROR_CASES],
)
def test_each_error_has_its_type_and_message(
    small_sample, tmp_path, action, builtin, error_class, message
):
    with pytest.raises(builtin, match=message) as raised:
        action(small_sample, tmp_path)
    assert isinstance(raised.value, error_class)
    assert isinstance(raised.value, tessark.TessarkError)


def test_a_bulk_move_checks_everything_before_moving_anything(small_sample):
    model = small_sample.model
    before = model.unique_vertex_positions()
    positions = before + 1.0
    positions[-1, 2] = math.inf
    with pytest.raises(ValueError, match=f"Position {len(positions) - 1}"):
        model.set_unique_vertex_positions(positions)
    assert np.array_equal(model.unique_vertex_positions(), before)


def test_a_refused_build_is_a_build_error_carrying_its_inspection(small_sample):
    unique_vertex, _ = push_side_vertex_off_border(small_sample)
    builder = pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    with pytest.raises(tessark.BuildError, match="Pillar model construction is not possible.") as raised:
        builder.build(pillar.PillarStructuralModelOptions())
    inspection = raised.value.inspection
    assert not inspection.construction_possible
    [issue] = inspection.issues["points_too_far"]
    assert issue.unique_vertex == unique_vertex


def test_a_failed_build_is_a_build_error_without_inspection(small_sample):
    # Top and bottom swapped: the inspection passes, a stage fails.
    builder = pillar.PillarStructuralModelBuilder(
        small_sample.model, small_sample.bottom_surfaces, small_sample.top_surfaces
    )
    assert builder.is_model_construction_possible().construction_possible
    with pytest.raises(tessark.BuildError) as raised:
        builder.build(pillar.PillarStructuralModelOptions())
    assert raised.value.inspection is None
    assert str(raised.value)


SETTER_CASES = [
    (tessark.SampleBox, "length_x", "long", "SampleBox.length_x takes float, not str"),
    (tessark.SampleResolution, "target_top_triangles", 2.5,
     "SampleResolution.target_top_triangles takes int, not float"),
    (tessark.SampleModelParameters, "faults", [1, 2],
     "SampleModelParameters.faults takes List"),
    (tessark.SampleModelParameters, "box", 3, "SampleModelParameters.box takes"),
    (tessark.SampleModelParameters, "horizon_depths", "deep",
     "SampleModelParameters.horizon_depths takes List"),
    (pillar.PillarStructuralModelOptions, "add_block_mesh", "yes",
     "PillarStructuralModelOptions.add_block_mesh takes bool, not str"),
]


@pytest.mark.parametrize("record_class, name, value, message", SETTER_CASES)
def test_setters_name_their_property_in_type_errors(record_class, name, value, message):
    record = record_class()
    before = getattr(record, name)
    with pytest.raises(TypeError, match=message.replace("[", r"\[")):
        setattr(record, name, value)
    assert type(getattr(record, name)) is type(before)


def test_nested_records_are_still_changed_in_place():
    parameters = tessark.SampleModelParameters()
    parameters.box.length_x = 123.0
    parameters.resolution.jitter = 0.25
    assert parameters.box.length_x == 123.0
    assert parameters.resolution.jitter == 0.25


def test_repr_of_stale_handles_says_so_and_never_raises(small_sample):
    model = small_sample.model
    line = model.lines()[0]
    line_mesh = line.mesh
    corner = model.corners()[0]
    builder = pillar.PillarStructuralModelBuilder(
        model, small_sample.top_surfaces, small_sample.bottom_surfaces
    )
    builder.build(pillar.PillarStructuralModelOptions())
    for handle in (line, line_mesh, corner):
        text = repr(handle)
        assert "stale" in text and str(handle.component_id.id if handle is line_mesh else handle.id) in text
    with pytest.raises(tessark.TessarkError, match=str(line.id)):
        line.name


def test_equality_with_another_type_is_false_not_an_error(small_sample):
    model = small_sample.model
    surface = model.surfaces()[0]
    for value in (surface, surface.id, surface.component_id, model.horizons()[0]):
        assert value != "text" and not (value == 3)
        assert value == value
