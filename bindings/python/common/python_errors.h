#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include <pybind11/pybind11.h>

#include <tessark/basic/tessark_exception.h>

// The exceptions the Python modules raise. The tessark module defines one
// class per kind of error, each a subclass of TessarkError (a RuntimeError)
// and of the built-in a Python caller expects:
//
//   TessarkError        RuntimeError       any other error of the library
//   BuildError          TessarkError       a refused or failed build
//   InvalidValueError   + ValueError       a bad argument value
//   MissingFileError    + FileNotFoundError a file or folder that is not there
//   OutOfRangeError     + IndexError       an index beyond its range
//
// C++ code of the bindings throws PythonError with the kind (it may do so
// with the GIL released); each module translates it with the library's
// message kept.
namespace brevane::python
{
    enum class ErrorKind
    {
        tessark,
        build,
        invalid_value,
        missing_file,
        out_of_range
    };

    class PythonError : public std::runtime_error
    {
    public:
        PythonError( ErrorKind kind, const std::string& message )
            : std::runtime_error{ message }, kind_{ kind }
        {
        }

        [[nodiscard]] ErrorKind kind() const
        {
            return kind_;
        }

    private:
        ErrorKind kind_;
    };

    // The Python name of the class of each kind, in the tessark module.
    [[nodiscard]] inline const char* error_class_name( ErrorKind kind )
    {
        switch( kind )
        {
        case ErrorKind::build:
            return "BuildError";
        case ErrorKind::invalid_value:
            return "InvalidValueError";
        case ErrorKind::missing_file:
            return "MissingFileError";
        case ErrorKind::out_of_range:
            return "OutOfRangeError";
        case ErrorKind::tessark:
            break;
        }
        return "TessarkError";
    }

    // The Python class of the kind (the GIL must be held).
    [[nodiscard]] inline pybind11::object error_class( ErrorKind kind )
    {
        return pybind11::module_::import( "tessark" ).attr(
            error_class_name( kind ) );
    }

    // Sets the Python error of the kind with the message, for an exception
    // translator.
    inline void set_python_error( ErrorKind kind, const char* message )
    {
        PyErr_SetString( error_class( kind ).ptr(), message );
    }

    // The translation both modules make: a PythonError to its class, any
    // other error of the library to TessarkError; other exceptions go on to
    // pybind11's own translation.
    inline void translate_library_errors( std::exception_ptr exception )
    {
        try
        {
            if( exception )
            {
                std::rethrow_exception( exception );
            }
        }
        catch( const PythonError& error )
        {
            set_python_error( error.kind(), error.what() );
        }
        catch( const TessarkException& error )
        {
            set_python_error( ErrorKind::tessark, error.what() );
        }
    }

    // Runs the work with the GIL released, so that other Python threads run
    // meanwhile: the work must not touch any Python object. Exceptions
    // leave it with the GIL held again.
    template < typename Work >
    decltype( auto ) without_gil( Work&& work )
    {
        pybind11::gil_scoped_release release;
        return std::forward< Work >( work )();
    }

    // Runs the work, rethrowing any exception of the library as a
    // PythonError of the kind, with its message.
    template < typename Work >
    decltype( auto ) rethrow_as( ErrorKind kind, Work&& work )
    {
        try
        {
            return std::forward< Work >( work )();
        }
        catch( const PythonError& )
        {
            throw;
        }
        catch( const std::exception& error )
        {
            throw PythonError{ kind, error.what() };
        }
    }
} // namespace brevane::python
