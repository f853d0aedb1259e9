#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <tessark/inspection/model_validation.h>

#include <io/model_comparison.h>
#include <io/model_file.h>

#include "bindings.h"

namespace py = pybind11;

namespace brevane::python
{
    void bind_files( py::module_& module )
    {
        module.def(
            "validate_model",
            []( const StructuralModel& model )
            {
                return validate_model( model ).problems;
            },
            py::arg( "model" ),
            "Every inconsistency of the model (meshes, unique vertices, "
            "boundaries, closed blocks), one readable line each naming the "
            "components and mesh elements involved: a list of str, empty "
            "for a valid model." );
        module.def( "save_model", &save_model, py::arg( "model" ),
            py::arg( "path" ),
            "Writes the model as path (a VTK XML multiblock file, \".vtm\", "
            "that ParaView opens) with its component meshes and its JSON "
            "description in the folder \"<stem>_files\" beside it. "
            "RuntimeError naming the file it could not write." );
        module.def(
            "load_model",
            []( const std::filesystem::path& path )
            {
                return std::make_shared< StructuralModel >(
                    load_model( path ) );
            },
            py::arg( "path" ),
            "Reads a model written by save_model: a new StructuralModel. "
            "RuntimeError naming the file and what is wrong with it." );
        module.def( "model_differences", &model_differences, py::arg( "first" ),
            py::arg( "second" ),
            "Every difference between two models, one readable line each: a "
            "list of str, empty when they are equal. Components and "
            "collections are matched by uuid; meshes are compared bit for "
            "bit." );
    }
} // namespace brevane::python
