#include "model_file_fixtures.h"

#include <array>
#include <fstream>
#include <iterator>

#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <io/model_file.h>

namespace brevane::test
{
    namespace
    {
        Point3D point( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        }

        // One positively oriented cell of each kind, side by side along x.
        void fill_block( StructuralModelBuilder& builder, const uuid& block )
        {
            auto mesh = builder.block_mesh_builder( block );
            const auto add =
                [&]( double shift,
                    std::initializer_list< std::array< double, 3 > > points )
            {
                const auto first =
                    mesh->create_point( point( points.begin()->at( 0 ) + shift,
                        points.begin()->at( 1 ), points.begin()->at( 2 ) ) );
                for( auto it = points.begin() + 1; it != points.end(); ++it )
                {
                    mesh->create_point( point(
                        it->at( 0 ) + shift, it->at( 1 ), it->at( 2 ) ) );
                }
                return first;
            };
            const auto tetrahedron = add(
                0, { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } } );
            mesh->create_tetrahedron( { tetrahedron, tetrahedron + 1,
                tetrahedron + 2, tetrahedron + 3 } );
            const auto pyramid =
                add( 2, { { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 },
                            { 0.5, 0.5, 1 } } );
            mesh->create_pyramid( { pyramid, pyramid + 1, pyramid + 2,
                pyramid + 3, pyramid + 4 } );
            const auto prism =
                add( 4, { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 },
                            { 1, 0, 1 }, { 0, 1, 1 } } );
            mesh->create_prism( { prism, prism + 1, prism + 2, prism + 3,
                prism + 4, prism + 5 } );
            const auto hexahedron = add(
                6, { { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 },
                       { 0, 0, 1 }, { 1, 0, 1 }, { 1, 1, 1 }, { 0, 1, 1 } } );
            mesh->create_hexahedron( { hexahedron, hexahedron + 1,
                hexahedron + 2, hexahedron + 3, hexahedron + 4, hexahedron + 5,
                hexahedron + 6, hexahedron + 7 } );
            mesh->compute_polyhedron_adjacencies();
        }
    } // namespace

    TemporaryFolder::TemporaryFolder()
        : path_( std::filesystem::temp_directory_path()
                 / ( "brevane_model_files_" + uuid{}.string() ) )
    {
        std::filesystem::create_directories( path_ );
    }

    TemporaryFolder::~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all( path_, ignored );
    }

    std::string read_file( const std::filesystem::path& file )
    {
        std::ifstream in{ file, std::ios::binary };
        return { std::istreambuf_iterator< char >{ in }, {} };
    }

    void write_file(
        const std::filesystem::path& file, const std::string& content )
    {
        std::ofstream{ file, std::ios::binary | std::ios::trunc } << content;
    }

    std::map< std::string, std::string > folder_contents(
        const std::filesystem::path& folder )
    {
        std::map< std::string, std::string > contents;
        for( const auto& entry :
            std::filesystem::recursive_directory_iterator( folder ) )
        {
            auto& content = contents[std::filesystem::relative(
                entry.path(), folder )
                                         .generic_string()];
            if( entry.is_symlink() )
            {
                content = "link to "
                          + std::filesystem::read_symlink( entry.path() )
                                .string();
            }
            else if( entry.is_directory() )
            {
                content = "folder";
            }
            else if( entry.is_regular_file() )
            {
                content = read_file( entry.path() );
            }
            else
            {
                content = "special file";
            }
        }
        return contents;
    }

    StructuralModel every_kind_model()
    {
        StructuralModel model;
        StructuralModelBuilder builder{ model };

        const std::array< uuid, 2 > corners{ builder.add_corner(),
            builder.add_corner() };
        builder.corner_mesh_builder( corners[0] )
            ->create_point( point( 0, 0, 0 ) );
        builder.corner_mesh_builder( corners[1] )
            ->create_point( point( 1, 0, 0 ) );
        builder.set_name( corners[0], "corner \"A\"" );
        builder.set_name( corners[1], "corner <B> & more" );

        const std::array< uuid, 2 > lines{ builder.add_line(),
            builder.add_line() };
        {
            auto mesh = builder.line_mesh_builder( lines[0] );
            mesh->create_point( point( 0, 0, 0 ) );
            mesh->create_point( point( 0.5, 0, 0 ) );
            mesh->create_point( point( 1, 0, 0 ) );
            mesh->create_edge( 0, 1 );
            mesh->create_edge( 1, 2 );
        }
        {
            auto mesh = builder.line_mesh_builder( lines[1] );
            mesh->create_point( point( 1, 0, 0 ) );
            mesh->create_point( point( 1, 1, 0 ) );
            mesh->create_edge( 0, 1 );
        }
        builder.set_name( lines[0], "ligne é" );

        const auto removed = builder.add_surface();
        const auto triangles = builder.add_surface();
        {
            auto mesh =
                builder.surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    triangles );
            mesh->create_point( point( 0, 0, 0 ) );
            mesh->create_point( point( 1, 0, 0 ) );
            mesh->create_point( point( 1, 1, 0 ) );
            // Bit patterns a text form could lose.
            mesh->create_point( point( -0.0, 1.0 / 3.0, 1e-310 ) );
            mesh->create_triangle( { 0, 1, 2 } );
            mesh->create_triangle( { 0, 2, 3 } );
            mesh->compute_polygon_adjacencies();
        }
        const auto polygons =
            builder.add_surface( PolygonalSurface< 3 >::create() );
        {
            auto mesh =
                builder.surface_mesh_builder< PolygonalSurfaceBuilder< 3 > >(
                    polygons );
            for( const auto& xy :
                std::initializer_list< std::array< double, 2 > >{ { 0, 0 },
                    { 1, 0 }, { 1, 1 }, { 0, 1 }, { 2, 0 }, { 2.5, 0.5 },
                    { 2, 1 } } )
            {
                mesh->create_point( point( xy[0], xy[1], 1 ) );
            }
            const std::array< index_t, 4 > quadrangle{ 0, 1, 2, 3 };
            const std::array< index_t, 5 > pentagon{ 1, 4, 5, 6, 2 };
            mesh->create_polygon( quadrangle );
            mesh->create_polygon( pentagon );
            mesh->compute_polygon_adjacencies();
        }
        const auto empty_surface = builder.add_surface();
        builder.remove_surface( model.surface( removed ) );
        builder.set_name( triangles, "triangles" );
        builder.set_name( polygons, "polygons" );

        const auto block = builder.add_block();
        fill_block( builder, block );
        const auto empty_block = builder.add_block();
        builder.set_name( block, "block" );

        const auto boundary = builder.add_model_boundary();
        builder.set_name( boundary, "top & bottom" );
        const auto collection = builder.add_surface_collection();
        const auto horizon = builder.add_horizon();
        builder.set_name( horizon, "horizon <1>" );
        const auto fault = builder.add_fault();
        builder.set_name( fault, "faille ε" );
        const auto fault_block = builder.add_fault_block();
        builder.set_name( fault_block, "bloc Ω" );

        builder.add_corner_line_boundary_relationship(
            model.corner( corners[1] ), model.line( lines[1] ) );
        builder.add_corner_line_boundary_relationship(
            model.corner( corners[0] ), model.line( lines[0] ) );
        builder.add_corner_line_boundary_relationship(
            model.corner( corners[1] ), model.line( lines[0] ) );
        builder.add_line_surface_boundary_relationship(
            model.line( lines[0] ), model.surface( polygons ) );
        builder.add_line_surface_boundary_relationship(
            model.line( lines[0] ), model.surface( triangles ) );
        builder.add_surface_block_boundary_relationship(
            model.surface( triangles ), model.block( block ) );
        builder.add_surface_block_boundary_relationship(
            model.surface( polygons ), model.block( block ) );
        builder.add_corner_surface_internal_relationship(
            model.corner( corners[0] ), model.surface( triangles ) );
        builder.add_line_block_internal_relationship(
            model.line( lines[1] ), model.block( block ) );
        builder.add_corner_block_internal_relationship(
            model.corner( corners[1] ), model.block( block ) );
        builder.add_surface_block_internal_relationship(
            model.surface( empty_surface ), model.block( block ) );
        builder.add_line_surface_internal_relationship(
            model.line( lines[1] ), model.surface( polygons ) );

        builder.add_surface_in_horizon(
            model.surface( triangles ), model.horizon( horizon ) );
        builder.add_surface_in_model_boundary(
            model.surface( triangles ), model.model_boundary( boundary ) );
        builder.add_surface_in_model_boundary(
            model.surface( polygons ), model.model_boundary( boundary ) );
        builder.add_surface_in_horizon(
            model.surface( polygons ), model.horizon( horizon ) );
        builder.add_surface_in_fault(
            model.surface( empty_surface ), model.fault( fault ) );
        builder.add_surface_in_surface_collection(
            model.surface( polygons ), model.surface_collection( collection ) );
        builder.add_block_in_fault_block(
            model.block( empty_block ), model.fault_block( fault_block ) );
        builder.add_block_in_fault_block(
            model.block( block ), model.fault_block( fault_block ) );

        builder.create_unique_vertices( 6 );
        const auto bind = [&]( const ComponentID& component, index_t vertex,
                              index_t unique_vertex )
        {
            builder.set_unique_vertex( { component, vertex }, unique_vertex );
        };
        const auto corner_id = [&]( index_t corner )
        {
            return model.corner( corners[corner] ).component_id();
        };
        const auto line_id = [&]( index_t line )
        {
            return model.line( lines[line] ).component_id();
        };
        const auto triangles_id = model.surface( triangles ).component_id();
        bind( line_id( 0 ), 0, 0 );
        bind( corner_id( 0 ), 0, 0 );
        bind( triangles_id, 0, 0 );
        bind( corner_id( 1 ), 0, 1 );
        bind( line_id( 0 ), 2, 1 );
        bind( line_id( 1 ), 0, 1 );
        bind( triangles_id, 1, 1 );
        bind( triangles_id, 2, 2 );
        bind( line_id( 1 ), 1, 2 );
        bind( model.surface( polygons ).component_id(), 0, 3 );
        bind( model.block( block ).component_id(), 0, 5 );
        return model;
    }

    StructuralModel save_and_load( const StructuralModel& model,
        const TemporaryFolder& folder, const std::string& name )
    {
        const auto path = folder.path() / ( name + ".vtm" );
        save_model( model, path );
        return load_model( path );
    }
} // namespace brevane::test
