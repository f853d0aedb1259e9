#include <pybind11/pybind11.h>

#include "bindings.h"

PYBIND11_MODULE( tessark, tessark_module )
{
    tessark_module.doc() =
        "Tessark: structural models, their components, collections, unique "
        "vertices and meshes (as numpy arrays), the sample-model factory, "
        "model files and the model validator.";
    brevane::python::bind_errors( tessark_module );
    brevane::python::bind_identifiers( tessark_module );
    brevane::python::bind_meshes( tessark_module );
    brevane::python::bind_model( tessark_module );
    brevane::python::bind_factory( tessark_module );
    brevane::python::bind_files( tessark_module );
    brevane::python::bind_meshio( tessark_module );
}
