"""The .pyi stubs written next to the modules."""

import ast
import pathlib

import pytest

import brevane_varnholt_py_pillar as pillar
import tessark


def stub_of(module):
    path = pathlib.Path(module.__file__).parent / f"{module.__name__}.pyi"
    if not path.exists():
        pytest.skip(f"no stub next to {module.__file__}")
    return path.read_text(encoding="utf-8")


def test_pillar_stub_types_the_static_initialize_and_the_records():
    text = stub_of(pillar)
    ast.parse(text)
    assert "    @staticmethod\n    def initialize() -> None: ..." in text
    assert "slice_collection_order: List[tessark.uuid]" in text
    assert "def unique_vertex_below(self) -> Dict[int, int]: ..." in text
    assert "def __init__(self, model: tessark.StructuralModel, " in text


@pytest.mark.parametrize("module", [tessark, pillar])
def test_every_annotation_is_a_type(module):
    text = stub_of(module)
    assert ": Any" not in text and "-> Any" not in text
    assert "float[" not in text


def test_tessark_stub_types_the_arrays_and_lists():
    text = stub_of(tessark)
    ast.parse(text)
    assert "def points(self) -> numpy.typing.NDArray[numpy.float64]: ..." in text
    assert "def triangles(self) -> numpy.typing.NDArray[numpy.uint32]: ..." in text
    assert "def surfaces(self) -> List[Surface]: ..." in text
    assert "def load_model(path: str | os.PathLike[str]) -> StructuralModel: ..." in text
    assert "positions: numpy.typing.ArrayLike" in text


def test_component_meshes_are_typed_per_kind():
    text = stub_of(tessark)
    for component, mesh in [
        ("Corner", "PointSet"), ("Line", "EdgedCurve"), ("Surface", "SurfaceMesh"),
        ("Block", "SolidMesh"),
    ]:
        body = text.split(f"\nclass {component}:\n")[1].split("\nclass ")[0]
        assert f"def mesh(self) -> {mesh}: ..." in body
        assert "def __eq__(self, other: object) -> bool: ..." in body


def test_build_error_is_typed_with_its_inspection():
    assert "inspection: Optional[brevane_varnholt_py_pillar.PillarStructuralModelInspectionResult]" in stub_of(tessark)
    assert "from tessark import BuildError as BuildError" in stub_of(pillar)
