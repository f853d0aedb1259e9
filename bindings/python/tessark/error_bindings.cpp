#include <pybind11/pybind11.h>

#include <common/python_errors.h>

#include "bindings.h"

namespace py = pybind11;

namespace brevane::python
{
    namespace
    {
        py::object new_error_class( py::module_& module, const char* name,
            const char* doc, const py::tuple& bases )
        {
            const auto qualified = concatenate( "tessark.", name );
            auto* type = PyErr_NewExceptionWithDoc(
                qualified.c_str(), doc, bases.ptr(), nullptr );
            if( type == nullptr )
            {
                throw py::error_already_set();
            }
            auto error_class = py::reinterpret_steal< py::object >( type );
            module.add_object( name, error_class );
            return error_class;
        }
    } // namespace

    void bind_errors( py::module_& module )
    {
        const auto base = new_error_class( module, "TessarkError",
            "Base of every error the library raises, with its message: a "
            "RuntimeError. The errors below are also the built-in exception "
            "a Python caller expects.",
            py::make_tuple( py::handle( PyExc_RuntimeError ) ) );
        auto build = new_error_class( module, "BuildError",
            "A build that was refused (the inspection found a problem; its "
            "result is in the attribute inspection) or that failed (inspection "
            "is None; the model is put back as it was).",
            py::make_tuple( base ) );
        build.attr( "inspection" ) = py::none();
        new_error_class( module, "InvalidValueError",
            "An argument of the right type but a wrong value: a ValueError.",
            py::make_tuple( base, py::handle( PyExc_ValueError ) ) );
        new_error_class( module, "MissingFileError",
            "A file or folder that is not there: a FileNotFoundError.",
            py::make_tuple( base, py::handle( PyExc_FileNotFoundError ) ) );
        new_error_class( module, "OutOfRangeError",
            "An index beyond its range: an IndexError.",
            py::make_tuple( base, py::handle( PyExc_IndexError ) ) );

        py::register_local_exception_translator( &translate_library_errors );
    }
} // namespace brevane::python
