"""Writes the .pyi stubs of compiled Python modules with mypy's stubgen.

Usage: write_stubs.py <folder> <module>...

The modules are imported from the folder (which must be on PYTHONPATH) and
their stubs written into it. The stubgen of mypy 1.0 writes the static
methods of compiled classes as instance methods taking
(self, *args, **kwargs); each is rewritten from the signature line of its
docstring, marked as a static method.
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


def main(folder, module_names):
    arguments = ["--quiet", "-o", folder]
    for module_name in module_names:
        arguments += ["-m", module_name]
    stubgen(args=arguments)
    for module_name in module_names:
        mark_static_methods(folder, module_name)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
