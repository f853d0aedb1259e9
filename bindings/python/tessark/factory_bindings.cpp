#include <memory>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include <common/python_errors.h>
#include <common/python_types.h>

#include "bindings.h"

namespace py = pybind11;

namespace brevane::python
{
    namespace
    {
        // A sample model as Python sees it: the model moved behind a shared
        // pointer, so that it can be handed out as a StructuralModel that
        // lives as long as anything uses it, and the ids of its components and
        // collections.
        struct PythonSampleModel
        {
            explicit PythonSampleModel( SampleModel sample )
                : model( std::make_shared< StructuralModel >(
                    std::move( sample.model ) ) ),
                  top_surfaces( std::move( sample.top_surfaces ) ),
                  bottom_surfaces( std::move( sample.bottom_surfaces ) ),
                  top_boundary( sample.top_boundary ),
                  bottom_boundary( sample.bottom_boundary ),
                  side_x_min( std::move( sample.side_x_min ) ),
                  side_x_max( std::move( sample.side_x_max ) ),
                  side_y_min( std::move( sample.side_y_min ) ),
                  side_y_max( std::move( sample.side_y_max ) ),
                  horizons( std::move( sample.horizons ) ),
                  faults( std::move( sample.faults ) ),
                  fault_blocks( std::move( sample.fault_blocks ) )
            {
            }

            ModelPointer model;
            std::vector< uuid > top_surfaces;
            std::vector< uuid > bottom_surfaces;
            uuid top_boundary;
            uuid bottom_boundary;
            SampleCollection side_x_min;
            SampleCollection side_x_max;
            SampleCollection side_y_min;
            SampleCollection side_y_max;
            std::vector< SampleCollection > horizons;
            std::vector< SampleCollection > faults;
            std::vector< SampleCollection > fault_blocks;
        };

        void bind_box_and_topography( py::module_& module )
        {
            py::class_< SampleBox >( module, "SampleBox",
                "The box of a sample model: x in [0, length_x], y in [0, "
                "length_y], between a flat reference bottom (bottom_z) and "
                "the mean height of the topography (top_z)." )
                .def( py::init<>() )
                .def_property( "length_x", member_getter( &SampleBox::length_x ),
                    member_setter( &SampleBox::length_x, "SampleBox.length_x" ),
                    "float: The length along x." )
                .def_property( "length_y", member_getter( &SampleBox::length_y ),
                    member_setter( &SampleBox::length_y, "SampleBox.length_y" ),
                    "float: The length along y." )
                .def_property( "bottom_z", member_getter( &SampleBox::bottom_z ),
                    member_setter( &SampleBox::bottom_z, "SampleBox.bottom_z" ),
                    "float: The height of the flat reference bottom." )
                .def_property( "top_z", member_getter( &SampleBox::top_z ),
                    member_setter( &SampleBox::top_z, "SampleBox.top_z" ),
                    "float: The mean height of the topography; depths are "
                    "measured down from it." );

            py::enum_< TopographyKind >( module, "TopographyKind",
                "hills: smooth random hills around top_z; height_grid: "
                "bilinear interpolation of a grid of heights." )
                .value( "hills", TopographyKind::hills )
                .value( "height_grid", TopographyKind::height_grid );

            py::class_< HeightGrid >( module, "HeightGrid",
                "Absolute topography heights on a regular grid spanning the "
                "whole box: heights[i + j * nb_x] is the height at "
                "(i * length_x / (nb_x - 1), j * length_y / (nb_y - 1))." )
                .def( py::init<>() )
                .def_property( "nb_x", member_getter( &HeightGrid::nb_x ),
                    member_setter( &HeightGrid::nb_x, "HeightGrid.nb_x" ),
                    "int: The number of heights along x, at least 2." )
                .def_property( "nb_y", member_getter( &HeightGrid::nb_y ),
                    member_setter( &HeightGrid::nb_y, "HeightGrid.nb_y" ),
                    "int: The number of heights along y, at least 2." )
                .def_property( "heights", member_getter( &HeightGrid::heights ),
                    member_setter( &HeightGrid::heights, "HeightGrid.heights" ),
                    "List[float]: The heights; assign a whole new list to "
                    "change them." );

            py::class_< TopographyParameters >( module, "TopographyParameters",
                "The shape of the topography: hills within top_z +- "
                "hills_amplitude (0 gives a flat topography), or a height "
                "grid." )
                .def( py::init<>() )
                .def_property( "kind", member_getter( &TopographyParameters::kind ),
                    member_setter( &TopographyParameters::kind, "TopographyParameters.kind" ),
                    "TopographyKind: Hills or a height grid." )
                .def_property( "hills_amplitude", member_getter( &TopographyParameters::hills_amplitude ),
                    member_setter( &TopographyParameters::hills_amplitude, "TopographyParameters.hills_amplitude" ),
                    "float: The hills stay strictly within top_z +- this "
                    "amount; 0 gives a flat topography." )
                .def_property( "nb_hills", member_getter( &TopographyParameters::nb_hills ),
                    member_setter( &TopographyParameters::nb_hills, "TopographyParameters.nb_hills" ),
                    "int: The number of hills." )
                .def_property( "height_grid", member_reference( &TopographyParameters::height_grid ),
                    member_setter( &TopographyParameters::height_grid, "TopographyParameters.height_grid" ),
                    "HeightGrid: The heights used by the height_grid kind, "
                    "changed in place." );
        }

        void bind_fault_and_resolution( py::module_& module )
        {
            py::class_< FaultParameters >( module, "FaultParameters",
                "A planar fault extruded along y, crossing the whole box: "
                "its position at the reference depth (below top_z), its dip "
                "in (0, 90] degrees, its dip direction and its vertical "
                "throw (positive for a normal fault)." )
                .def( py::init<>() )
                .def_property( "x_at_reference_depth", member_getter( &FaultParameters::x_at_reference_depth ),
                    member_setter( &FaultParameters::x_at_reference_depth, "FaultParameters.x_at_reference_depth" ),
                    "float: Where the fault is at the reference depth." )
                .def_property( "reference_depth", member_getter( &FaultParameters::reference_depth ),
                    member_setter( &FaultParameters::reference_depth, "FaultParameters.reference_depth" ),
                    "float: A depth below top_z." )
                .def_property( "dip_degrees", member_getter( &FaultParameters::dip_degrees ),
                    member_setter( &FaultParameters::dip_degrees, "FaultParameters.dip_degrees" ),
                    "float: The angle from the horizontal, in (0, 90]." )
                .def_property( "dips_towards_x_max", member_getter( &FaultParameters::dips_towards_x_max ),
                    member_setter( &FaultParameters::dips_towards_x_max, "FaultParameters.dips_towards_x_max" ),
                    "bool: Going down, the fault moves towards x max (True) or "
                    "x min." )
                .def_property( "vertical_throw", member_getter( &FaultParameters::vertical_throw ),
                    member_setter( &FaultParameters::vertical_throw, "FaultParameters.vertical_throw" ),
                    "float: How far the hanging wall goes down (a normal "
                    "fault); a negative value raises it." );

            py::class_< SampleResolution >( module, "SampleResolution",
                "Target edge lengths of each kind of surface; 0 takes the "
                "default derived from target_top_triangles (the approximate "
                "number of triangles of the whole topography). jitter in "
                "[0, 0.8] moves the inner samples randomly." )
                .def( py::init<>() )
                .def_property( "target_top_triangles", member_getter( &SampleResolution::target_top_triangles ),
                    member_setter( &SampleResolution::target_top_triangles, "SampleResolution.target_top_triangles" ),
                    "int: The approximate number of triangles of the whole "
                    "topography." )
                .def_property( "topography_edge_length", member_getter( &SampleResolution::topography_edge_length ),
                    member_setter( &SampleResolution::topography_edge_length, "SampleResolution.topography_edge_length" ),
                    "float: 0 for the default." )
                .def_property( "horizon_edge_lengths", member_getter( &SampleResolution::horizon_edge_lengths ),
                    member_setter( &SampleResolution::horizon_edge_lengths, "SampleResolution.horizon_edge_lengths" ),
                    "List[float]: One length per horizon, or empty for the "
                    "defaults; assign a whole new list to change it." )
                .def_property( "fault_edge_length", member_getter( &SampleResolution::fault_edge_length ),
                    member_setter( &SampleResolution::fault_edge_length, "SampleResolution.fault_edge_length" ),
                    "float: 0 for the default." )
                .def_property( "side_edge_length", member_getter( &SampleResolution::side_edge_length ),
                    member_setter( &SampleResolution::side_edge_length, "SampleResolution.side_edge_length" ),
                    "float: 0 for the default." )
                .def_property( "bottom_edge_length", member_getter( &SampleResolution::bottom_edge_length ),
                    member_setter( &SampleResolution::bottom_edge_length, "SampleResolution.bottom_edge_length" ),
                    "float: 0 for the default." )
                .def_property( "jitter", member_getter( &SampleResolution::jitter ),
                    member_setter( &SampleResolution::jitter, "SampleResolution.jitter" ),
                    "float: Random displacement of the inner samples, as a "
                    "fraction of their spacing, in [0, 0.8]; 0 gives regular "
                    "grids." );
        }

        void bind_parameters( py::module_& module )
        {
            py::class_< SampleModelParameters >( module,
                "SampleModelParameters",
                "The description of a sample model: a box cut by faults "
                "(from x min to x max, not crossing) and by horizons (at "
                "horizon_depths below top_z, or nb_horizons evenly spaced), "
                "under a topography, over a bottom bulging by "
                "bottom_amplitude. The same parameters always give the same "
                "model. Nested records (box, topography, resolution) are "
                "changed in place; list fields (faults, horizon_depths) are "
                "copies: assign a whole new list to change them." )
                .def( py::init<>() )
                .def_property( "box", member_reference( &SampleModelParameters::box ),
                    member_setter( &SampleModelParameters::box, "SampleModelParameters.box" ),
                    "SampleBox: The box, changed in place." )
                .def_property( "topography", member_reference( &SampleModelParameters::topography ),
                    member_setter( &SampleModelParameters::topography, "SampleModelParameters.topography" ),
                    "TopographyParameters: The topography, changed in place." )
                .def_property( "nb_horizons", member_getter( &SampleModelParameters::nb_horizons ),
                    member_setter( &SampleModelParameters::nb_horizons, "SampleModelParameters.nb_horizons" ),
                    "int: The number of evenly spaced horizons; ignored when "
                    "horizon_depths is given." )
                .def_property( "horizon_depths", member_getter( &SampleModelParameters::horizon_depths ),
                    member_setter( &SampleModelParameters::horizon_depths, "SampleModelParameters.horizon_depths" ),
                    "List[float]: Depths below top_z of the horizons in fault "
                    "block 0, strictly increasing; assign a whole new list to "
                    "change them." )
                .def_property( "faults",
                    member_getter( &SampleModelParameters::faults ),
                    member_setter( &SampleModelParameters::faults,
                        "SampleModelParameters.faults" ),
                    "List[FaultParameters]: The faults from x min to x max, "
                    "not crossing inside the box (a copy: assign a whole new "
                    "list to change them)." )
                .def_property( "bottom_amplitude", member_getter( &SampleModelParameters::bottom_amplitude ),
                    member_setter( &SampleModelParameters::bottom_amplitude, "SampleModelParameters.bottom_amplitude" ),
                    "float: The bottom bulges up by this amount in the middle "
                    "of the box (down when negative)." )
                .def_property( "resolution", member_reference( &SampleModelParameters::resolution ),
                    member_setter( &SampleModelParameters::resolution, "SampleModelParameters.resolution" ),
                    "SampleResolution: The mesh sizes, changed in place." )
                .def_property( "seed", member_getter( &SampleModelParameters::seed ),
                    member_setter( &SampleModelParameters::seed, "SampleModelParameters.seed" ),
                    "int: Drives the hills and the jitter." );
        }

        void bind_sample_model( py::module_& module )
        {
            py::class_< SampleCollection >( module, "SampleCollection",
                "A collection of a sample model and its items, in "
                "insertion order." )
                .def_readonly(
                    "id", &SampleCollection::id, "uuid: The collection." )
                .def_property_readonly( "items",
                    member_getter( &SampleCollection::items ),
                    "List[uuid]: The items, in insertion order (a new list)." );

            py::class_< PythonSampleModel >( module, "SampleModel",
                "A model built by build_sample_model and the ids a caller "
                "needs to use it. Surfaces are named \"top_block_<b>\", "
                "\"bottom_block_<b>\", \"horizon_<h>_block_<b>\", "
                "\"fault_<f>_piece_<p>\", \"side_x_min_layer_<l>\"...; "
                "horizons and faults are numbered from 1, blocks, layers "
                "and pieces from 0." )
                .def_readonly( "model", &PythonSampleModel::model,
                    "StructuralModel: The model." )
                .def_property_readonly( "top_surfaces",
                    member_getter( &PythonSampleModel::top_surfaces ),
                    "List[uuid]: The topography pieces, from x min to x "
                    "max." )
                .def_property_readonly( "bottom_surfaces",
                    member_getter( &PythonSampleModel::bottom_surfaces ),
                    "List[uuid]: The bottom pieces, from x min to x max." )
                .def_readonly( "top_boundary", &PythonSampleModel::top_boundary,
                    "uuid: The top model boundary." )
                .def_readonly( "bottom_boundary",
                    &PythonSampleModel::bottom_boundary,
                    "uuid: The bottom model boundary." )
                .def_readonly( "side_x_min", &PythonSampleModel::side_x_min,
                    "SampleCollection: Surfaces from the top down." )
                .def_readonly( "side_x_max", &PythonSampleModel::side_x_max,
                    "SampleCollection: Surfaces from the top down." )
                .def_readonly( "side_y_min", &PythonSampleModel::side_y_min,
                    "SampleCollection: Surfaces by block, then by layer from "
                    "the top down." )
                .def_readonly( "side_y_max", &PythonSampleModel::side_y_max,
                    "SampleCollection: Surfaces by block, then by layer from "
                    "the top down." )
                .def_property_readonly( "horizons",
                    member_getter( &PythonSampleModel::horizons ),
                    "List[SampleCollection]: Pieces by fault block, from x "
                    "min to x max." )
                .def_property_readonly( "faults",
                    member_getter( &PythonSampleModel::faults ),
                    "List[SampleCollection]: Pieces from the top down." )
                .def_property_readonly( "fault_blocks",
                    member_getter( &PythonSampleModel::fault_blocks ),
                    "List[SampleCollection]: Blocks by layer, from the top "
                    "down." );
        }
    } // namespace

    void bind_factory( py::module_& module )
    {
        bind_box_and_topography( module );
        bind_fault_and_resolution( module );
        bind_parameters( module );
        bind_sample_model( module );
        module.def( "spread_faults", &spread_faults, py::arg( "box" ),
            py::arg( "nb_faults" ),
            "Faults at evenly spaced positions across the box at mid-depth, "
            "all dipping towards x max, with dips from 64 to 76 degrees and "
            "throws of 4 to 8 percent of the box height: a new list of "
            "FaultParameters." );
        module.def( "small_sample_parameters", &small_sample_parameters,
            py::arg( "nb_horizons" ), py::arg( "nb_faults" ),
            "The parameters of a small model: a 100 x 60 box 40 high, "
            "gentle hills, evenly spaced horizons, faults from "
            "spread_faults, about 24 top triangles." );
        module.def(
            "build_sample_model",
            []( const SampleModelParameters& parameters )
            {
                return rethrow_as( ErrorKind::invalid_value,
                    [&parameters]
                    {
                        return without_gil(
                            [&parameters]
                            {
                                return PythonSampleModel{ build_sample_model(
                                    parameters ) };
                            } );
                    } );
            },
            py::arg( "parameters" ),
            "Builds the valid structural model the parameters describe; "
            "InvalidValueError (a ValueError) naming the faulty value when "
            "they describe none." );
    }
} // namespace brevane::python
