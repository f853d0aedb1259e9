#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <tessark/basic/string_concatenation.h>
#include <tessark/model/structural_model.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/repair_pillar_model_input.h>
#include <pillar/varnholt_pillar_library.h>

namespace py = pybind11;

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

    // The builder keeps views on the two id lists: the Python object owns
    // copies of them, declared before the builder so that they are built
    // before it and destroyed after it. The model is kept alive by the
    // Python binding of the constructor.
    class PythonPillarBuilder
    {
    public:
        PythonPillarBuilder( brevane::StructuralModel& model,
            std::vector< brevane::uuid > top_surfaces,
            std::vector< brevane::uuid > bottom_surfaces )
            : top_surfaces_( std::move( top_surfaces ) ),
              bottom_surfaces_( std::move( bottom_surfaces ) ),
              builder_( model, top_surfaces_, bottom_surfaces_ )
        {
        }
        PythonPillarBuilder( const PythonPillarBuilder& ) = delete;
        PythonPillarBuilder& operator=( const PythonPillarBuilder& ) = delete;

        [[nodiscard]] brevane::PillarStructuralModelInspectionResult
        is_model_construction_possible()
        {
            return builder_.is_model_construction_possible();
        }

        [[nodiscard]] brevane::PillarStructuralModelBuilderResult build(
            const brevane::PillarStructuralModelOptions& options )
        {
            return builder_.build( options );
        }

    private:
        std::vector< brevane::uuid > top_surfaces_;
        std::vector< brevane::uuid > bottom_surfaces_;
        brevane::PillarStructuralModelBuilder builder_;
    };

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

    void bind_records( py::module_& pillar_module )
    {
        py::class_< brevane::PillarStructuralModelInspectionResult >(
            pillar_module, "PillarStructuralModelInspectionResult",
            "The four checks of an inspection: top surfaces folding over "
            "themselves in plan view, lines stopping inside the model, side "
            "vertices off the topography border, surfaces tagged neither as "
            "horizon, fault nor model boundary." )
            .def( "string",
                &brevane::PillarStructuralModelInspectionResult::string,
                "The four reports, one per check, each ending with a line "
                "break: \"no issues with <check>\" or \"<count> issues with "
                "<check>\" followed by one tab-indented line per problem "
                "found." );

        py::class_< brevane::PillarStructuralModelOptions >( pillar_module,
            "PillarStructuralModelOptions", "Options of a build." )
            .def( py::init<>() )
            .def_readwrite( "add_block_mesh",
                &brevane::PillarStructuralModelOptions::add_block_mesh,
                "bool: Asks for volumetric meshes of the blocks (True by "
                "default)." );

        py::class_< brevane::PillarStructuralModelBuilderResult >(
            pillar_module, "PillarStructuralModelBuilderResult",
            "What a build returns: the slice collections from the top down "
            "and the links between consecutive nodes of each pillar." )
            // A copy each way: pybind11's default for a member would hand
            // out views into the vector's elements, which dangle once a
            // longer list is assigned.
            .def_property(
                "slice_collection_order",
                []( const brevane::PillarStructuralModelBuilderResult& result )
                {
                    return result.slice_collection_order;
                },
                []( brevane::PillarStructuralModelBuilderResult& result,
                    std::vector< brevane::uuid > order )
                {
                    result.slice_collection_order = std::move( order );
                },
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
    }

    void bind_builder( py::module_& pillar_module )
    {
        py::class_< PythonPillarBuilder >( pillar_module,
            "PillarStructuralModelBuilder",
            "Inspects a structural model and rebuilds it in place as a "
            "pillar model. The builder keeps the model alive and its own "
            "copies of the two lists of surface ids." )
            .def( py::init< brevane::StructuralModel&,
                      std::vector< brevane::uuid >,
                      std::vector< brevane::uuid > >(),
                py::keep_alive< 1, 2 >(), py::arg( "model" ),
                py::arg( "top_surfaces" ), py::arg( "bottom_surfaces" ),
                "A builder of the model with the caller's top (topography) "
                "and bottom surfaces." )
            .def( "is_model_construction_possible",
                &PythonPillarBuilder::is_model_construction_possible,
                "Runs the four inspections and returns their result (a copy "
                "owned by Python). RuntimeError naming the surface when a "
                "top surface id names no surface of the model or one that "
                "is not a triangulated surface." )
            .def( "build", &PythonPillarBuilder::build, py::arg( "options" ),
                "Rebuilds the model as a pillar model. When no inspection "
                "ran before, runs one and raises RuntimeError (\"Pillar "
                "model construction is not possible.\") if any check "
                "finds a problem, leaving the model untouched; after an "
                "explicit "
                "inspection it builds whatever that inspection found. When "
                "a later stage fails, the model is put back as it was and "
                "the RuntimeError names what went wrong." );
    }

    void bind_pillar_module( py::module_& pillar_module )
    {
        bind_library( pillar_module );
        bind_records( pillar_module );
        bind_builder( pillar_module );
        pillar_module.def( "repair_pillar_model_input",
            &brevane::repair_pillar_model_input, py::arg( "model" ),
            py::arg( "inspection" ),
            "Moves every side vertex the inspection found off the "
            "topography border to the position it recorded (x and y on the "
            "border, its own z), in every component sharing its unique "
            "vertex. The inspection must come from this model, unchanged "
            "since; RuntimeError, with the model unchanged, when it names a "
            "unique vertex the model does not have." );
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
