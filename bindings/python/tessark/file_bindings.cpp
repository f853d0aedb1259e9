#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <tessark/inspection/model_validation.h>

#include <io/model_comparison.h>
#include <io/model_file.h>
#include <io/tsurf_model.h>
#include <io/tsurf_model_export.h>

#include <common/python_errors.h>

#include "bindings.h"

namespace py = pybind11;

namespace brevane::python
{
    namespace
    {
        // A model made from TSurf files, with the surfaces a pillar builder
        // needs and what keeps it from being closed.
        struct PythonImportedModel
        {
            ModelPointer model;
            std::vector< uuid > top_surfaces;
            std::vector< uuid > bottom_surfaces;
            std::vector< std::string > problems;
        };

        // Runs a read of the file at path with the GIL released. An error
        // becomes MissingFileError when nothing is at the path, TessarkError
        // otherwise, with the library's message either way.
        template < typename Read >
        decltype( auto ) read_file(
            const std::filesystem::path& path, const Read& read )
        {
            try
            {
                return without_gil( read );
            }
            catch( const std::exception& error )
            {
                std::error_code ignored;
                const auto kind = std::filesystem::exists( path, ignored )
                                      ? ErrorKind::tessark
                                      : ErrorKind::missing_file;
                throw PythonError{ kind, error.what() };
            }
        }

        void bind_tsurf( py::module_& module )
        {
            py::class_< PythonImportedModel >( module, "ImportedModel",
                "A structural model made from TSurf files by "
                "import_tsurf_model." )
                .def_readonly( "model", &PythonImportedModel::model,
                    "StructuralModel: The model." )
                .def_readonly( "top_surfaces",
                    &PythonImportedModel::top_surfaces,
                    "List[uuid]: The surfaces of role topography." )
                .def_readonly( "bottom_surfaces",
                    &PythonImportedModel::bottom_surfaces,
                    "List[uuid]: The surfaces of role bottom." )
                .def_readonly( "problems", &PythonImportedModel::problems,
                    "List[str]: What keeps the surfaces from forming a "
                    "closed model, one line each; empty when the model is "
                    "closed and valid." );
            module.def(
                "import_tsurf_model",
                []( const std::filesystem::path& description )
                {
                    return read_file( description,
                        [&description]
                        {
                            auto imported = import_tsurf_model( description );
                            return PythonImportedModel{
                                std::make_shared< StructuralModel >(
                                    std::move( imported.model ) ),
                                std::move( imported.top_surfaces ),
                                std::move( imported.bottom_surfaces ),
                                std::move( imported.problems )
                            };
                        } );
                },
                py::arg( "description" ),
                "Reads the JSON description of a set of GOCAD TSurf files "
                "(roles of the surfaces, blocks) and every file it names, "
                "and assembles the model: an ImportedModel. MissingFileError "
                "(a FileNotFoundError) when the description is not there, "
                "TessarkError naming the file, entry or line otherwise." );
            module.def(
                "export_tsurf_model",
                []( const StructuralModel& model,
                    const std::filesystem::path& folder )
                {
                    return without_gil(
                        [&]
                        {
                            return export_tsurf_model( model, folder );
                        } );
                },
                py::arg( "model" ), py::arg( "folder" ),
                "Writes the surfaces of the model into the folder (created "
                "when missing) as TSurf files, one per model boundary, "
                "horizon and fault, and the description \"model.json\" that "
                "import_tsurf_model reads back; returns the description's "
                "path. TessarkError naming the surface or block that cannot "
                "be written (a name used twice, a surface in no collection, "
                "a polygon that is not a triangle)." );
        }
    } // namespace

    void bind_files( py::module_& module )
    {
        module.def(
            "validate_model",
            []( const StructuralModel& model )
            {
                return without_gil(
                    [&model]
                    {
                        return validate_model( model ).problems;
                    } );
            },
            py::arg( "model" ),
            "Every inconsistency of the model (meshes, unique vertices, "
            "boundaries, closed blocks), one readable line each naming the "
            "components and mesh elements involved: a list of str, empty "
            "for a valid model." );
        module.def( "save_model", &save_model, py::arg( "model" ),
            py::arg( "path" ), py::call_guard< py::gil_scoped_release >(),
            "Writes the model as path (a VTK XML multiblock file, \".vtm\", "
            "that ParaView opens) with its component meshes and its JSON "
            "description in the folder \"<stem>_files\" beside it. "
            "TessarkError naming the file it could not write." );
        module.def(
            "load_model",
            []( const std::filesystem::path& path )
            {
                return read_file( path,
                    [&path]
                    {
                        return std::make_shared< StructuralModel >(
                            load_model( path ) );
                    } );
            },
            py::arg( "path" ),
            "Reads a model written by save_model: a new StructuralModel. "
            "MissingFileError (a FileNotFoundError) when nothing is at the "
            "path, TessarkError naming the file and what is wrong with it "
            "otherwise." );
        module.def( "model_differences", &model_differences, py::arg( "first" ),
            py::arg( "second" ), py::call_guard< py::gil_scoped_release >(),
            "Every difference between two models, one readable line each: a "
            "list of str, empty when they are equal. Components and "
            "collections are matched by uuid; meshes are compared bit for "
            "bit." );
        bind_tsurf( module );
    }
} // namespace brevane::python
