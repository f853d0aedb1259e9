#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <common/python_errors.h>
#include <common/python_types.h>

#include <tessark/basic/string_concatenation.h>
#include <tessark/model/structural_model.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/pillar_structural_model_exception.h>
#include <pillar/repair_pillar_model_input.h>
#include <pillar/varnholt_pillar_library.h>

namespace py = pybind11;
using brevane::python::ErrorKind;
using brevane::python::PythonError;
using brevane::python::without_gil;

namespace
{
    // The "major.minor" version of the Python the module is compiled for.
    constexpr std::string_view COMPILED_PYTHON_VERSION = PYBIND11_TOSTRING(
        PY_MAJOR_VERSION ) "." PYBIND11_TOSTRING( PY_MINOR_VERSION );

    // The ImportError message when the interpreter's version string does not
    // begin with the compiled "major.minor" followed by something other
    // than a digit ("3.110" is not 3.11); empty when it does.
    std::optional< std::string > python_version_mismatch(
        std::string_view interpreter_version )
    {
        const auto length = COMPILED_PYTHON_VERSION.size();
        const auto same_prefix =
            interpreter_version.substr( 0, length ) == COMPILED_PYTHON_VERSION;
        const auto followed_by_digit =
            interpreter_version.size() > length
            && std::isdigit(
                static_cast< unsigned char >( interpreter_version[length] ) );
        if( same_prefix && !followed_by_digit )
        {
            return std::nullopt;
        }
        return brevane::concatenate(
            "Python version mismatch: module was compiled for Python ",
            COMPILED_PYTHON_VERSION,
            ", but the interpreter version is incompatible: ",
            interpreter_version, "." );
    }

    // An inspection as Python sees it: the library's record and the names
    // of the components it reports, read from the model when it ran.
    struct PythonInspection
    {
        brevane::PillarStructuralModelInspectionResult record;
        std::map< brevane::uuid, std::string > names;
    };

    // One issue of an inspection, as structured data.
    struct InspectionIssue
    {
        std::string kind;
        std::optional< brevane::uuid > component_id;
        std::optional< std::string > component_name;
        std::optional< std::uint32_t > unique_vertex;
        std::optional< std::tuple< double, double, double > > position;
        std::optional< double > distance;
        std::string message;
    };

    // The name of the component of that uuid, empty when the model has
    // none.
    std::string component_name(
        const brevane::StructuralModel& model, const brevane::uuid& id )
    {
        if( model.has_surface( id ) )
        {
            return std::string{ model.surface( id ).name() };
        }
        if( model.has_line( id ) )
        {
            return std::string{ model.line( id ).name() };
        }
        if( model.has_corner( id ) )
        {
            return std::string{ model.corner( id ).name() };
        }
        if( model.has_block( id ) )
        {
            return std::string{ model.block( id ).name() };
        }
        return {};
    }

    PythonInspection named_inspection(
        const brevane::StructuralModel& model,
        brevane::PillarStructuralModelInspectionResult record )
    {
        PythonInspection inspection{ std::move( record ), {} };
        for( const auto* ids : { &inspection.record.multi_z.issues,
                 &inspection.record.lines.issues,
                 &inspection.record.surfaces_collection.issues } )
        {
            for( const auto& id : *ids )
            {
                inspection.names.emplace( id, component_name( model, id ) );
            }
        }
        return inspection;
    }

    // A build the library refused, with its inspection.
    class RefusedBuild : public std::runtime_error
    {
    public:
        RefusedBuild( const std::string& message, PythonInspection inspection )
            : std::runtime_error{ message },
              inspection_( std::move( inspection ) )
        {
        }

        [[nodiscard]] const PythonInspection& inspection() const
        {
            return inspection_;
        }

    private:
        PythonInspection inspection_;
    };

    // The builder keeps views on the two id lists: the Python object owns
    // copies of them, declared before the builder so that they are built
    // before it and destroyed after it. The model is kept alive by the
    // Python binding of the constructor. Every call runs with the GIL
    // released: the library never calls back into Python.
    class PythonPillarBuilder
    {
    public:
        PythonPillarBuilder( brevane::StructuralModel& model,
            std::vector< brevane::uuid > top_surfaces,
            std::vector< brevane::uuid > bottom_surfaces )
            : model_( model ),
              top_surfaces_( std::move( top_surfaces ) ),
              bottom_surfaces_( std::move( bottom_surfaces ) ),
              builder_( model, top_surfaces_, bottom_surfaces_ )
        {
        }
        PythonPillarBuilder( const PythonPillarBuilder& ) = delete;
        PythonPillarBuilder& operator=( const PythonPillarBuilder& ) = delete;

        [[nodiscard]] PythonInspection is_model_construction_possible()
        {
            return named_inspection(
                model_, builder_.is_model_construction_possible() );
        }

        // Raises BuildError when the build is refused or fails.
        [[nodiscard]] brevane::PillarStructuralModelBuilderResult build(
            const brevane::PillarStructuralModelOptions& options )
        {
            try
            {
                return builder_.build( options );
            }
            catch( const brevane::PillarStructuralModelException& error )
            {
                throw RefusedBuild{ error.what(),
                    named_inspection( model_, error.inspection_result ) };
            }
            catch( const std::exception& error )
            {
                throw PythonError{ ErrorKind::build, error.what() };
            }
        }

    private:
        const brevane::StructuralModel& model_;
        std::vector< brevane::uuid > top_surfaces_;
        std::vector< brevane::uuid > bottom_surfaces_;
        brevane::PillarStructuralModelBuilder builder_;
    };

    // The issues of each check, by kind: "multi_z", "lines",
    // "points_too_far", "surfaces_collection".
    std::map< std::string, std::vector< InspectionIssue > > inspection_issues(
        const PythonInspection& inspection )
    {
        const auto message = []( const auto& result, std::size_t issue )
        {
            return issue < result.messages.size() ? result.messages[issue]
                                                   : std::string{};
        };
        const auto component_issues = [&]( const std::string& kind,
                                          const auto& result )
        {
            std::vector< InspectionIssue > issues;
            for( std::size_t issue = 0; issue < result.issues.size(); issue++ )
            {
                const auto& id = result.issues[issue];
                issues.push_back( { kind, id, inspection.names.at( id ),
                    std::nullopt, std::nullopt, std::nullopt,
                    message( result, issue ) } );
            }
            return issues;
        };
        const auto& record = inspection.record;
        std::map< std::string, std::vector< InspectionIssue > > issues;
        issues["multi_z"] = component_issues( "multi_z", record.multi_z );
        issues["lines"] = component_issues( "lines", record.lines );
        issues["surfaces_collection"] = component_issues(
            "surfaces_collection", record.surfaces_collection );
        auto& points = issues["points_too_far"];
        const auto& too_far = record.points_too_far;
        for( std::size_t issue = 0; issue < too_far.issues.size(); issue++ )
        {
            const auto& found = too_far.issues[issue];
            const auto& point = found.point;
            points.push_back( { "points_too_far", std::nullopt, std::nullopt,
                found.unique_vertex,
                std::make_tuple(
                    point.value( 0 ), point.value( 1 ), point.value( 2 ) ),
                found.distance, message( too_far, issue ) } );
        }
        return issues;
    }

    bool construction_possible( const PythonInspection& inspection )
    {
        const auto& record = inspection.record;
        return record.multi_z.nb_issues() == 0 && record.lines.nb_issues() == 0
               && record.points_too_far.nb_issues() == 0
               && record.surfaces_collection.nb_issues() == 0;
    }

    // A pillar-link map as a dict, in increasing order of its keys so that
    // the dict's order does not depend on the hash map's.
    py::dict pillar_links(
        const absl::flat_hash_map< std::uint32_t, std::uint32_t >& links )
    {
        std::vector< std::pair< std::uint32_t, std::uint32_t > > sorted{
            links.begin(), links.end()
        };
        std::sort( sorted.begin(), sorted.end() );
        py::dict dict;
        for( const auto& [from, to] : sorted )
        {
            dict[py::int_( from )] = py::int_( to );
        }
        return dict;
    }

    void bind_library( py::module_& pillar_module )
    {
        py::class_< brevane::VarnholtPillarLibrary >( pillar_module,
            "VarnholtPillarLibrary",
            "Registration object of the library; Python cannot make one." )
            .def_static( "initialize",
                &brevane::VarnholtPillarLibrary::initialize,
                "Initialises the library and the libraries it uses, once per "
                "process; call it before building models." );
    }

    // The records, in the order of the module's interface; returns the
    // inspection's class, whose issues come with their own class later.
    py::class_< PythonInspection > bind_records( py::module_& pillar_module )
    {
        py::class_< PythonInspection > inspection( pillar_module,
            "PillarStructuralModelInspectionResult",
            "The four checks of an inspection: top surfaces folding over "
            "themselves in plan view, lines stopping inside the model, side "
            "vertices off the topography border, surfaces tagged neither as "
            "horizon, fault nor model boundary." );
        inspection
            .def(
                "string",
                []( const PythonInspection& inspection )
                {
                    return inspection.record.string();
                },
                "The four reports, one per check, each ending with a line "
                "break: \"no issues with <check>\" or \"<count> issues with "
                "<check>\" followed by one tab-indented line per problem "
                "found." )
            .def_property_readonly( "construction_possible",
                &construction_possible,
                "bool: Whether no check found a problem, so that a build "
                "goes ahead." )
            .def_property_readonly(
                "input_problems",
                []( const PythonInspection& inspection )
                {
                    return inspection.record.input_problems;
                },
                "List[str]: What makes the model unusable by any build as "
                "the builder was given it (a wrong top or bottom list, "
                "points that are not finite or not shared), one line each; "
                "a build refuses such a model before anything else." );

        py::class_< brevane::PillarStructuralModelOptions >( pillar_module,
            "PillarStructuralModelOptions", "Options of a build." )
            .def( py::init<>() )
            .def_property( "add_block_mesh",
                brevane::python::member_getter(
                    &brevane::PillarStructuralModelOptions::add_block_mesh ),
                brevane::python::member_setter(
                    &brevane::PillarStructuralModelOptions::add_block_mesh,
                    "PillarStructuralModelOptions.add_block_mesh" ),
                "bool: Asks for volumetric meshes of the blocks (True by "
                "default)." );

        py::class_< brevane::PillarStructuralModelBuilderResult >(
            pillar_module, "PillarStructuralModelBuilderResult",
            "What a build returns: the slice collections from the top down "
            "and the links between consecutive nodes of each pillar." )
            // A copy each way: pybind11's default for a member would hand
            // out views into the vector's elements, which dangle once a
            // longer list is assigned.
            .def_property( "slice_collection_order",
                brevane::python::member_getter(
                    &brevane::PillarStructuralModelBuilderResult::
                        slice_collection_order ),
                brevane::python::member_setter(
                    &brevane::PillarStructuralModelBuilderResult::
                        slice_collection_order,
                    "PillarStructuralModelBuilderResult.slice_collection_"
                    "order" ),
                "List[tessark.uuid]: The slice collections, from the top "
                "down, one per surface group plus the top and the bottom "
                "ones (a copy: assign a whole new list to change it)." )
            .def_property_readonly(
                "unique_vertex_below",
                []( const brevane::PillarStructuralModelBuilderResult& result )
                {
                    return pillar_links( result.unique_vertex_below );
                },
                "Dict[int, int]: Each pillar node's unique vertex to the "
                "unique vertex of the next node down the pillar (a new "
                "dict, in increasing key order)." )
            .def_property_readonly(
                "unique_vertex_above",
                []( const brevane::PillarStructuralModelBuilderResult& result )
                {
                    return pillar_links( result.unique_vertex_above );
                },
                "Dict[int, int]: The inverse of unique_vertex_below (a new "
                "dict, in increasing key order)." );
        return inspection;
    }

    // The structured issues of an inspection, registered after the
    // module's other classes.
    void bind_inspection_issues( py::module_& pillar_module,
        py::class_< PythonInspection >& inspection )
    {
        py::class_< InspectionIssue >( pillar_module, "InspectionIssue",
            "One problem an inspection found. Depending on the check, the "
            "component (its uuid and name) or the unique vertex (its index, "
            "its position and its distance to the topography border); the "
            "other fields are None." )
            .def_readonly( "kind", &InspectionIssue::kind,
                "str: The check: \"multi_z\", \"lines\", "
                "\"points_too_far\" or \"surfaces_collection\"." )
            .def_readonly( "component_id", &InspectionIssue::component_id,
                "Optional[tessark.uuid]: The surface or line at fault." )
            .def_readonly( "component_name", &InspectionIssue::component_name,
                "Optional[str]: Its name." )
            .def_readonly( "unique_vertex", &InspectionIssue::unique_vertex,
                "Optional[int]: The unique vertex off the topography "
                "border." )
            .def_readonly( "position", &InspectionIssue::position,
                "Optional[Tuple[float, float, float]]: Where it should be: "
                "its x and y on the border, its own z." )
            .def_readonly( "distance", &InspectionIssue::distance,
                "Optional[float]: How far it is from the border." )
            .def_readonly( "message", &InspectionIssue::message,
                "str: The line of the report about it." )
            .def( "__repr__",
                []( const InspectionIssue& issue )
                {
                    return brevane::concatenate(
                        "<InspectionIssue ", issue.kind, ": ", issue.message, ">" );
                } );

        inspection
            .def_property_readonly( "issues", &inspection_issues,
                "Dict[str, List[InspectionIssue]]: The problems of each "
                "check, by kind (\"multi_z\", \"lines\", "
                "\"points_too_far\", \"surfaces_collection\"), in the "
                "order of the report (a new dict)." );
    }

    void bind_builder( py::module_& pillar_module )
    {
        py::class_< PythonPillarBuilder >( pillar_module,
            "PillarStructuralModelBuilder",
            "Inspects a structural model and rebuilds it in place as a "
            "pillar model. The builder keeps the model alive and its own "
            "copies of the two lists of surface ids." )
            .def( py::init(
                      []( brevane::StructuralModel& model,
                          std::vector< brevane::uuid > top_surfaces,
                          std::vector< brevane::uuid > bottom_surfaces )
                      {
                          return without_gil(
                              [&]
                              {
                                  return std::make_unique< PythonPillarBuilder >(
                                      model, std::move( top_surfaces ),
                                      std::move( bottom_surfaces ) );
                              } );
                      } ),
                py::keep_alive< 1, 2 >(), py::arg( "model" ),
                py::arg( "top_surfaces" ), py::arg( "bottom_surfaces" ),
                "A builder of the model with the caller's top (topography) "
                "and bottom surfaces. Its calls release the GIL, so builders "
                "of different models run at once in several threads; a "
                "model must not be used from another thread while one of "
                "its builders runs." )
            .def( "is_model_construction_possible",
                &PythonPillarBuilder::is_model_construction_possible,
                py::call_guard< py::gil_scoped_release >(),
                "Runs the four inspections and returns their result (a copy "
                "owned by Python). TessarkError (a RuntimeError) naming the "
                "surface when a top surface id names no surface of the "
                "model or one that is not a triangulated surface." )
            .def( "build", &PythonPillarBuilder::build, py::arg( "options" ),
                py::call_guard< py::gil_scoped_release >(),
                "Rebuilds the model as a pillar model. When no inspection "
                "ran before, runs one and raises tessark.BuildError "
                "(\"Pillar model construction is not possible.\", with the "
                "inspection in its attribute inspection) if any check "
                "finds a problem, leaving the model untouched; after an "
                "explicit inspection it builds whatever that inspection "
                "found. When a later stage fails, the model is put back as "
                "it was and the BuildError (inspection None) names what "
                "went wrong." );
    }

    void bind_pillar_module( py::module_& pillar_module )
    {
        bind_library( pillar_module );
        auto inspection = bind_records( pillar_module );
        bind_builder( pillar_module );
        bind_inspection_issues( pillar_module, inspection );
        pillar_module.def(
            "repair_pillar_model_input",
            []( brevane::StructuralModel& model,
                const PythonInspection& inspection )
            {
                brevane::repair_pillar_model_input( model, inspection.record );
            },
            py::arg( "model" ), py::arg( "inspection" ),
            py::call_guard< py::gil_scoped_release >(),
            "Moves every side vertex the inspection found off the "
            "topography border to the position it recorded (x and y on the "
            "border, its own z), in every component sharing its unique "
            "vertex. The inspection must come from this model, unchanged "
            "since; TessarkError, with the model unchanged, when it names a "
            "unique vertex the model does not have." );
        // The exception classes live in tessark; BuildError is the one of
        // this module's calls.
        pillar_module.add_object(
            "BuildError", brevane::python::error_class( ErrorKind::build ) );
        py::register_local_exception_translator(
            []( std::exception_ptr exception )
            {
                try
                {
                    if( exception )
                    {
                        std::rethrow_exception( exception );
                    }
                }
                catch( const RefusedBuild& refused )
                {
                    auto error_class =
                        brevane::python::error_class( ErrorKind::build );
                    auto error = error_class( refused.what() );
                    error.attr( "inspection" ) =
                        py::cast( refused.inspection() );
                    PyErr_SetObject( error_class.ptr(), error.ptr() );
                }
                catch( ... )
                {
                    brevane::python::translate_library_errors(
                        std::current_exception() );
                }
            } );
        pillar_module.def(
            "_check_python_version",
            []( const std::string& interpreter_version )
            {
                if( const auto mismatch =
                        python_version_mismatch( interpreter_version ) )
                {
                    throw py::import_error( *mismatch );
                }
            },
            py::arg( "interpreter_version" ),
            "The check the module runs on import, on a given interpreter "
            "version string: ImportError when it does not match." );
    }

    py::module_::module_def pillar_module_definition;
} // namespace

// Written out instead of PYBIND11_MODULE so that the version check comes
// first, with the module's own message, and the failure of the tessark
// import reaches the caller as it is.
PYBIND11_PLUGIN_IMPL( brevane_varnholt_py_pillar )
{
    if( const auto mismatch = python_version_mismatch( Py_GetVersion() ) )
    {
        PyErr_SetString( PyExc_ImportError, mismatch->c_str() );
        return nullptr;
    }
    PYBIND11_ENSURE_INTERNALS_READY
    auto pillar_module = py::module_::create_extension_module(
        "brevane_varnholt_py_pillar", nullptr, &pillar_module_definition );
    try
    {
        pillar_module.doc() = "Brevane-Varnholt Python binding for Pillar";
        // The model and uuid types are registered by tessark.
        py::module_::import( "tessark" );
        bind_pillar_module( pillar_module );
        return pillar_module.ptr();
    }
    catch( py::error_already_set& error )
    {
        error.restore();
        return nullptr;
    }
    catch( const std::exception& error )
    {
        PyErr_SetString( PyExc_ImportError, error.what() );
        return nullptr;
    }
}
