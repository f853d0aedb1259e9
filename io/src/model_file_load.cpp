#include <io/model_file.h>

#include <exception>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>

#include <tessark/model/structural_model_builder.h>

#include <io/safe_files.h>

#include "model_file_description.h"
#include "model_file_error.h"
#include "model_file_layout.h"
#include "model_file_meshes.h"
#include "model_file_unique_vertices.h"
#include "model_file_vtk_reader.h"

namespace brevane
{
    namespace
    {
        using namespace internal;

        // The mesh of one component, read from its file.
        struct ComponentMesh
        {
            std::unique_ptr< PointSet< 3 > > point_set;
            std::unique_ptr< EdgedCurve< 3 > > edged_curve;
            std::unique_ptr< SurfaceMesh< 3 > > surface;
            std::unique_ptr< SolidMesh< 3 > > solid;
        };

        // Reads the component's file into its mesh, and moves the unique
        // vertex arrays into vertices.
        ComponentMesh read_component_mesh( const ComponentEntry& component,
            const std::filesystem::path& file, ComponentVertices& vertices )
        {
            ComponentMesh mesh;
            MeshArrays arrays;
            switch( component.mesh )
            {
            case MeshKind::point_set:
                arrays = read_vtk_polydata( file, PolyDataCells::verts );
                mesh.point_set = build_point_set( arrays );
                break;
            case MeshKind::edged_curve:
                arrays = read_vtk_polydata( file, PolyDataCells::lines );
                mesh.edged_curve = build_edged_curve( arrays, file );
                break;
            case MeshKind::triangulated_surface:
            case MeshKind::polygonal_surface:
                arrays = read_vtk_polydata( file, PolyDataCells::polys );
                mesh.surface = build_surface( arrays,
                    component.mesh == MeshKind::triangulated_surface, file );
                break;
            case MeshKind::hybrid_solid:
                arrays = read_vtk_unstructured_grid( file );
                mesh.solid = build_solid( arrays, file );
                break;
            }
            vertices.unique_vertices = std::move( arrays.unique_vertices );
            vertices.ranks = std::move( arrays.unique_vertex_ranks );
            return mesh;
        }

        void add_component( StructuralModelBuilder& builder,
            const StructuralModel& model, const ComponentEntry& component,
            ComponentMesh mesh )
        {
            const auto& id = component.id;
            if( component.kind == component_types::corner() )
            {
                builder.add_corner( id );
                builder.update_corner_mesh(
                    model.corner( id ), std::move( mesh.point_set ) );
            }
            else if( component.kind == component_types::line() )
            {
                builder.add_line( id );
                builder.update_line_mesh(
                    model.line( id ), std::move( mesh.edged_curve ) );
            }
            else if( component.kind == component_types::surface() )
            {
                builder.add_surface( id, std::move( mesh.surface ) );
            }
            else
            {
                builder.add_block( id, std::move( mesh.solid ) );
            }
            builder.set_name( id, component.name );
        }

        void add_collection(
            StructuralModelBuilder& builder, const CollectionEntry& collection )
        {
            const auto& id = collection.id;
            const auto& kind = collection.kind;
            if( kind == component_types::model_boundary() )
            {
                builder.add_model_boundary( id );
            }
            else if( kind == component_types::surface_collection() )
            {
                builder.add_surface_collection( id );
            }
            else if( kind == component_types::horizon() )
            {
                builder.add_horizon( id );
            }
            else if( kind == component_types::fault() )
            {
                builder.add_fault( id );
            }
            else
            {
                builder.add_fault_block( id );
            }
            builder.set_name( id, collection.name );
        }

        void add_boundary( StructuralModelBuilder& builder,
            const StructuralModel& model, const ComponentType& from,
            const RelationEntry& relation )
        {
            if( from == component_types::corner() )
            {
                builder.add_corner_line_boundary_relationship(
                    model.corner( relation.from ), model.line( relation.to ) );
            }
            else if( from == component_types::line() )
            {
                builder.add_line_surface_boundary_relationship(
                    model.line( relation.from ), model.surface( relation.to ) );
            }
            else
            {
                builder.add_surface_block_boundary_relationship(
                    model.surface( relation.from ),
                    model.block( relation.to ) );
            }
        }

        void add_internal( StructuralModelBuilder& builder,
            const StructuralModel& model, const ComponentType& from,
            const ComponentType& to, const RelationEntry& relation )
        {
            const bool in_surface = to == component_types::surface();
            if( from == component_types::corner() )
            {
                const auto& corner = model.corner( relation.from );
                in_surface ? builder.add_corner_surface_internal_relationship(
                    corner, model.surface( relation.to ) )
                           : builder.add_corner_block_internal_relationship(
                               corner, model.block( relation.to ) );
            }
            else if( from == component_types::line() )
            {
                const auto& line = model.line( relation.from );
                in_surface ? builder.add_line_surface_internal_relationship(
                    line, model.surface( relation.to ) )
                           : builder.add_line_block_internal_relationship(
                               line, model.block( relation.to ) );
            }
            else
            {
                builder.add_surface_block_internal_relationship(
                    model.surface( relation.from ),
                    model.block( relation.to ) );
            }
        }

        void add_item( StructuralModelBuilder& builder,
            const StructuralModel& model, const ComponentType& to,
            const RelationEntry& relation )
        {
            if( to == component_types::fault_block() )
            {
                builder.add_block_in_fault_block( model.block( relation.from ),
                    model.fault_block( relation.to ) );
                return;
            }
            const auto& surface = model.surface( relation.from );
            if( to == component_types::model_boundary() )
            {
                builder.add_surface_in_model_boundary(
                    surface, model.model_boundary( relation.to ) );
            }
            else if( to == component_types::surface_collection() )
            {
                builder.add_surface_in_surface_collection(
                    surface, model.surface_collection( relation.to ) );
            }
            else if( to == component_types::horizon() )
            {
                builder.add_surface_in_horizon(
                    surface, model.horizon( relation.to ) );
            }
            else
            {
                builder.add_surface_in_fault(
                    surface, model.fault( relation.to ) );
            }
        }

        // The description has checked that both ends exist and that the
        // model can relate their kinds.
        void add_relation( StructuralModelBuilder& builder,
            const StructuralModel& model, const RelationEntry& relation )
        {
            const auto& relationships = model.relationships();
            const auto& from = relationships.component( relation.from ).type();
            const auto& to = relationships.component( relation.to ).type();
            switch( relation.kind )
            {
            case RelationKind::boundary:
                add_boundary( builder, model, from, relation );
                return;
            case RelationKind::internal:
                add_internal( builder, model, from, to, relation );
                return;
            case RelationKind::item:
                add_item( builder, model, to, relation );
                return;
            }
        }
    } // namespace

    StructuralModel load_model( const std::filesystem::path& path )
    {
        check_regular_file( path, "[load_model] " );
        const ModelFileLayout layout{ path };
        const auto description = read_description( layout.description );

        // Component files are read and their meshes built side by side; a
        // failure is reported for the first failing component in the
        // description's order, whichever thread met it first.
        const auto nb_components = description.components.size();
        std::vector< ComponentMesh > meshes( nb_components );
        std::vector< ComponentVertices > vertices( nb_components );
        std::vector< std::exception_ptr > failures( nb_components );
        tbb::parallel_for(
            tbb::blocked_range< std::size_t >{ 0, nb_components, 1 },
            [&]( const tbb::blocked_range< std::size_t >& range )
            {
                for( auto index = range.begin(); index != range.end(); index++ )
                {
                    const auto& component = description.components[index];
                    auto& read = vertices[index];
                    read.file = layout.folder / component.file;
                    read.component = { component.kind, component.id };
                    try
                    {
                        meshes[index] =
                            read_component_mesh( component, read.file, read );
                    }
                    catch( ... )
                    {
                        failures[index] = std::current_exception();
                    }
                }
            },
            tbb::simple_partitioner{} );
        for( const auto& failure : failures )
        {
            if( failure )
            {
                std::rethrow_exception( failure );
            }
        }

        StructuralModel model;
        StructuralModelBuilder builder{ model };
        for( std::size_t index = 0; index < nb_components; index++ )
        {
            add_component( builder, model, description.components[index],
                std::move( meshes[index] ) );
        }
        for( const auto& collection : description.collections )
        {
            add_collection( builder, collection );
        }
        for( const auto& relation : description.relations )
        {
            add_relation( builder, model, relation );
        }
        bind_unique_vertices( builder, description.nb_unique_vertices,
            vertices, layout.description );
        return model;
    }
} // namespace brevane
