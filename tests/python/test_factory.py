"""The sample-model factory."""

import numpy as np
import pytest

import tessark


def top_points(sample):
    return [sample.model.surface(id).mesh.points for id in sample.top_surfaces]


def test_default_parameters():
    parameters = tessark.SampleModelParameters()
    box = parameters.box
    assert (box.length_x, box.length_y, box.bottom_z, box.top_z) == (1000, 1000, 0, 500)
    assert parameters.nb_horizons == 2 and parameters.faults == []
    assert parameters.topography.kind == tessark.TopographyKind.hills
    assert parameters.resolution.target_top_triangles == 2000
    assert parameters.seed == 1


def test_nested_records_change_in_place_and_lists_by_assignment():
    parameters = tessark.SampleModelParameters()
    parameters.box.top_z = 400
    parameters.resolution.target_top_triangles = 100
    parameters.topography.hills_amplitude = 0
    assert parameters.box.top_z == 400
    assert parameters.resolution.target_top_triangles == 100
    assert parameters.topography.hills_amplitude == 0
    parameters.faults.append(tessark.FaultParameters())
    assert parameters.faults == []
    parameters.faults = tessark.spread_faults(parameters.box, 2)
    assert len(parameters.faults) == 2
    parameters.faults[0].dip_degrees = 10
    assert parameters.faults[0].dip_degrees != 10
    assert [f.x_at_reference_depth for f in parameters.faults] == sorted(
        f.x_at_reference_depth for f in parameters.faults
    )


def test_build_gives_the_described_model():
    parameters = tessark.small_sample_parameters(3, 2)
    sample = tessark.build_sample_model(parameters)
    model = sample.model
    assert model.nb_horizons() == 3 and model.nb_faults() == 2
    assert len(sample.horizons) == 3 and len(sample.faults) == 2
    assert len(sample.top_surfaces) == len(sample.bottom_surfaces) == 3
    assert [model.surface(id).name for id in sample.top_surfaces] == [
        "top_block_0", "top_block_1", "top_block_2"
    ]
    assert model.fault(sample.faults[0].id).name == "fault_1"
    assert model.model_boundary(sample.bottom_boundary).name == "bottom"
    assert tessark.validate_model(model) == []


def test_same_parameters_give_the_same_meshes():
    parameters = tessark.small_sample_parameters(2, 1)
    first = top_points(tessark.build_sample_model(parameters))
    second = top_points(tessark.build_sample_model(parameters))
    for a, b in zip(first, second):
        np.testing.assert_array_equal(a, b)
    parameters.seed = 2
    third = top_points(tessark.build_sample_model(parameters))
    assert any(a.shape != c.shape or (a != c).any() for a, c in zip(first, third))


def test_invalid_parameters_are_refused_naming_the_value():
    parameters = tessark.small_sample_parameters(2, 1)
    faults = parameters.faults
    faults[0].dip_degrees = 0
    parameters.faults = faults
    with pytest.raises(RuntimeError, match="Fault 1 dips by 0 degrees"):
        tessark.build_sample_model(parameters)
