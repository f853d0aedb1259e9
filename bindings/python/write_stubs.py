"""Writes the .pyi stubs of compiled Python modules with mypy's stubgen.

Usage: write_stubs.py <folder> <module>...

The modules are imported from the folder (which must be on PYTHONPATH) and
their stubs written into it. The stubgen of mypy 1.0 writes the static
methods of compiled classes as instance methods taking
(self, *args, **kwargs); each is rewritten from the signature line of its
docstring, marked as a static method. Then the types pybind11 names in a
way mypy --strict refuses or reads too narrowly are rewritten: paths take
str as well as os.PathLike, array arguments take anything numpy converts,
and the constructors of classes Python cannot make are typed.
"""

import importlib
import re
import sys

from mypy.stubgen import main as stubgen


def static_methods(module_name):
    """(class name, method name, signature line) of each static method."""
    module = importlib.import_module(module_name)
    for class_name, cls in vars(module).items():
        if not isinstance(cls, type):
            continue
        for name, value in vars(cls).items():
            if isinstance(value, staticmethod):
                doc = value.__func__.__doc__ or ""
                yield class_name, name, doc.splitlines()[0]


def mark_static_methods(folder, module_name):
    path = f"{folder}/{module_name}.pyi"
    with open(path, encoding="utf-8") as stub:
        text = stub.read()
    for class_name, name, signature in static_methods(module_name):
        method = re.compile(
            rf"(\nclass {class_name}\b[^\n]*\n(?:[ \t]+[^\n]*\n)*?)"
            rf"([ \t]+)def {name}\(self[^\n]*\n"
        )
        text, count = method.subn(
            lambda match: f"{match[1]}{match[2]}@staticmethod\n"
            f"{match[2]}def {signature}: ...\n",
            text,
            count=1,
        )
        if count != 1:
            sys.exit(f"{path}: no stub of {class_name}.{name} to mark static")
    with open(path, "w", encoding="utf-8") as stub:
        stub.write(text)


# (pattern, replacement) of the type rewrites of arguments, and of return
# types (after "->"): pybind11 takes a str or any os.PathLike for a path and
# returns a pathlib.Path; it converts any array-like argument and returns
# arrays of the dtype it names.
ARGUMENT_REWRITES = [
    (re.compile(r"\bos\.PathLike\b(?!\[)"), "str | os.PathLike[str]"),
    (re.compile(r"\bnumpy\.ndarray\[numpy\.\w+\]"), "numpy.typing.ArrayLike"),
    (re.compile(r"\(self, \*args, \*\*kwargs\)"), "(self, *args: object, **kwargs: object)"),
    (re.compile(r"\btuple\b(?!\[)"), "tuple[object, ...]"),
    (re.compile(r"ClassVar\[dict\]"), "ClassVar[dict[str, object]]"),
]
RETURN_REWRITES = [
    (re.compile(r"\bos\.PathLike\b(?!\[)"), "pathlib.Path"),
    (re.compile(r"\bnumpy\.ndarray\[(numpy\.\w+)\]"), r"numpy.typing.NDArray[\1]"),
    (re.compile(r"\btuple\b(?!\[)"), "tuple[object, ...]"),
]


# The inspection a BuildError carries is a record of the pillar module,
# whose BuildError is tessark's.
BUILD_ERROR = re.compile(r"class BuildError\((tessark\.)?TessarkError\):\n    inspection: ClassVar\[None\] = \.\.\.\n")
BUILD_ERROR_STUBS = {
    "tessark": "class BuildError(TessarkError):\n"
    "    inspection: Optional[brevane_varnholt_py_pillar.PillarStructuralModelInspectionResult]\n",
    "brevane_varnholt_py_pillar": "from tessark import BuildError as BuildError\n",
}
BUILD_ERROR_IMPORTS = {"tessark": "import brevane_varnholt_py_pillar\n"}


def rewrite_line(line):
    arguments, arrow, result = line.partition("->")
    for pattern, replacement in ARGUMENT_REWRITES:
        arguments = pattern.sub(replacement, arguments)
    for pattern, replacement in RETURN_REWRITES:
        result = pattern.sub(replacement, result)
    return arguments + arrow + result


def rewrite_types(folder, module_name):
    path = f"{folder}/{module_name}.pyi"
    with open(path, encoding="utf-8") as stub:
        lines = stub.read().split("\n")
    text = "\n".join(rewrite_line(line) for line in lines)
    if module_name in BUILD_ERROR_STUBS:
        text, count = BUILD_ERROR.subn(BUILD_ERROR_STUBS[module_name], text)
        if count != 1:
            sys.exit(f"{path}: no stub of BuildError to rewrite")
        text = BUILD_ERROR_IMPORTS.get(module_name, "") + text
    imports = [name for name in ("numpy.typing", "pathlib") if f"{name}." in text]
    for name in imports:
        text = text.replace("import numpy\n", f"import numpy\nimport {name}\n", 1)
    with open(path, "w", encoding="utf-8") as stub:
        stub.write(text)


def main(folder, module_names):
    arguments = ["--quiet", "-o", folder]
    for module_name in module_names:
        arguments += ["-m", module_name]
    stubgen(args=arguments)
    for module_name in module_names:
        mark_static_methods(folder, module_name)
        rewrite_types(folder, module_name)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
