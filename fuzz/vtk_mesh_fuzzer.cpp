// The VTK XML mesh reader over any bytes, read as each kind of component
// mesh file (corner, line, surface, block) and built into its mesh: each
// gives a mesh or a TessarkException.
#include <cstdint>
#include <string>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/surface_mesh.h>

#include "model_file_meshes.h"
#include "model_file_vtk_reader.h"

namespace
{
    template < typename Read >
    void try_reading( Read read )
    {
        try
        {
            read();
        }
        catch( const brevane::TessarkException& )
        {
        }
    }
} // namespace

extern "C" int LLVMFuzzerTestOneInput( const std::uint8_t* data, std::size_t size )
{
    using namespace brevane::internal;
    const std::string content{ reinterpret_cast< const char* >( data ), size };
    const std::filesystem::path file{ "fuzz.vtk" };
    try_reading(
        [&]
        {
            static_cast< void >( build_point_set(
                parse_vtk_polydata( content, file, PolyDataCells::verts ) ) );
        } );
    try_reading(
        [&]
        {
            static_cast< void >( build_edged_curve(
                parse_vtk_polydata( content, file, PolyDataCells::lines ),
                file ) );
        } );
    try_reading(
        [&]
        {
            const auto arrays =
                parse_vtk_polydata( content, file, PolyDataCells::polys );
            static_cast< void >( build_surface( arrays, true, file ) );
        } );
    try_reading(
        [&]
        {
            const auto arrays =
                parse_vtk_polydata( content, file, PolyDataCells::polys );
            static_cast< void >( build_surface( arrays, false, file ) );
        } );
    try_reading(
        [&]
        {
            static_cast< void >( build_solid(
                parse_vtk_unstructured_grid( content, file ), file ) );
        } );
    return 0;
}
