"""uuid, ComponentID and ComponentMeshVertex."""

import pickle

import pytest

import tessark

TEXT = "0f1e2d3c-4b5a-4968-8776-a5b4c3d2e1f0"


def test_uuid_round_trips_through_its_text():
    uuid = tessark.uuid(TEXT)
    assert str(uuid) == TEXT
    assert repr(uuid) == f"uuid('{TEXT}')"
    assert tessark.uuid(TEXT.upper()) == uuid
    assert uuid.bytes == bytes.fromhex(TEXT.replace("-", ""))


@pytest.mark.parametrize(
    "text", ["", "not a uuid", TEXT[:-1], TEXT + "0", TEXT.replace("-", "_")]
)
def test_uuid_refuses_malformed_text_naming_it(text):
    with pytest.raises(RuntimeError) as error:
        tessark.uuid(text)
    assert text in str(error.value)


def test_new_uuids_differ():
    uuids = {tessark.uuid() for _ in range(100)}
    assert len(uuids) == 100


def test_equal_uuids_are_one_dict_key():
    first = tessark.uuid(TEXT)
    second = tessark.uuid(TEXT)
    assert first is not second
    assert first == second and not first != second
    assert hash(first) == hash(second)
    assert {first: 1}[second] == 1
    other = tessark.uuid()
    assert other != first
    assert (other < first) != (first < other)
    assert first != TEXT


def test_uuid_pickles():
    uuid = tessark.uuid()
    assert pickle.loads(pickle.dumps(uuid)) == uuid


def test_component_id_is_a_kind_and_a_uuid():
    uuid = tessark.uuid(TEXT)
    component = tessark.ComponentID("Surface", uuid)
    assert component.type == "Surface"
    assert component.id == uuid
    assert str(component) == f"Surface {TEXT}"
    assert repr(component) == f"ComponentID('Surface', uuid('{TEXT}'))"
    same = tessark.ComponentID("Surface", tessark.uuid(TEXT))
    assert component == same and hash(component) == hash(same)
    assert component != tessark.ComponentID("Line", uuid)


def test_component_mesh_vertex_is_a_component_and_an_index():
    component = tessark.ComponentID("Line", tessark.uuid(TEXT))
    vertex = tessark.ComponentMeshVertex(component, 7)
    assert vertex.component_id == component
    assert vertex.vertex == 7
    assert str(vertex) == f"Line {TEXT} vertex 7"
    assert repr(vertex) == (
        f"ComponentMeshVertex(ComponentID('Line', uuid('{TEXT}')), 7)"
    )
    same = tessark.ComponentMeshVertex(component, 7)
    assert vertex == same and hash(vertex) == hash(same)
    assert vertex != tessark.ComponentMeshVertex(component, 8)
