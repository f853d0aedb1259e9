#include <io/model_file.h>

#include <exception>
#include <functional>

#include <absl/strings/str_replace.h>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>

#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>

#include "model_file_description.h"
#include "model_file_error.h"
#include "model_file_folder.h"
#include "model_file_layout.h"
#include "model_file_meshes.h"
#include "model_file_relation_order.h"
#include "model_file_unique_vertices.h"
#include "model_file_vtk_writer.h"

namespace brevane
{
    namespace
    {
        using namespace internal;

        // Writes the component mesh files and gathers the description and
        // the multiblock tree.
        class ModelWriter
        {
        public:
            ModelWriter(
                const StructuralModel& model, const ModelFileLayout& layout )
                : model_( model ), layout_( layout )
            {
            }

            // Writes the mesh files and the description into the layout's
            // folder, and returns the groups of the multiblock file.
            std::vector< MultiblockGroup > write()
            {
                add_corners();
                add_lines();
                add_surfaces();
                add_blocks();
                write_mesh_files();
                add_collections( model_.model_boundaries() );
                add_collections( model_.surface_collections() );
                add_collections( model_.horizons() );
                add_collections( model_.faults() );
                add_collections( model_.fault_blocks() );
                description_.relations = ordered_relations( model_ );
                description_.nb_unique_vertices = model_.nb_unique_vertices();
                write_description( description_, layout_.description );
                return std::move( groups_ );
            }

        private:
            // The component and the path of its file, ready for its arrays.
            struct Target
            {
                std::filesystem::path file;
                std::string owner;
            };

            template < typename Component >
            Target add_component( const Component& component, MeshKind mesh,
                index_t position, MultiblockGroup& group )
            {
                const auto& kind = Component::component_type_static();
                auto file_name = component_file_name( kind, position );
                const std::string name{ component.name() };
                // ParaView shows the name; a nameless component shows its
                // uuid.
                group.datasets.push_back(
                    { name.empty() ? component.id().string() : name,
                        concatenate( layout_.folder_name, "/", file_name ) } );
                Target target{ layout_.folder / file_name,
                    concatenate( component.component_id().string(), " \"", name,
                        "\"" ) };
                description_.components.push_back( { kind, component.id(), name,
                    mesh, std::move( file_name ) } );
                return target;
            }

            template < typename Component >
            void finish( const Component& component, const Target& target,
                MeshArrays& arrays ) const
            {
                fill_unique_vertex_arrays( model_, component.component_id(),
                    component.mesh().nb_vertices(), arrays, target.file,
                    target.owner );
            }

            void add_corners()
            {
                auto& group =
                    groups_.emplace_back( MultiblockGroup{ "Corners", {} } );
                index_t position{ 0 };
                for( const auto& corner : model_.corners() )
                {
                    auto target = add_component(
                        corner, MeshKind::point_set, position++, group );
                    jobs_.emplace_back(
                        [this, &corner, target]
                        {
                            auto arrays = point_set_arrays( corner.mesh() );
                            finish( corner, target, arrays );
                            write_vtk_polydata(
                                target.file, arrays, PolyDataCells::verts );
                        } );
                }
            }

            void add_lines()
            {
                auto& group =
                    groups_.emplace_back( MultiblockGroup{ "Lines", {} } );
                index_t position{ 0 };
                for( const auto& line : model_.lines() )
                {
                    auto target = add_component(
                        line, MeshKind::edged_curve, position++, group );
                    jobs_.emplace_back(
                        [this, &line, target]
                        {
                            auto arrays = edged_curve_arrays(
                                line.mesh(), target.file, target.owner );
                            finish( line, target, arrays );
                            write_vtk_polydata(
                                target.file, arrays, PolyDataCells::lines );
                        } );
                }
            }

            void add_surfaces()
            {
                auto& group =
                    groups_.emplace_back( MultiblockGroup{ "Surfaces", {} } );
                index_t position{ 0 };
                for( const auto& surface : model_.surfaces() )
                {
                    const auto& mesh = surface.mesh();
                    const auto kind =
                        dynamic_cast< const TriangulatedSurface< 3 >* >( &mesh )
                            ? MeshKind::triangulated_surface
                            : MeshKind::polygonal_surface;
                    auto target =
                        add_component( surface, kind, position++, group );
                    if( kind == MeshKind::polygonal_surface
                        && dynamic_cast< const PolygonalSurface< 3 >* >( &mesh )
                               == nullptr )
                    {
                        throw save_error( target.file, target.owner,
                            ": its mesh is a ", mesh.impl_name(),
                            ", which has no file form" );
                    }
                    jobs_.emplace_back(
                        [this, &surface, target]
                        {
                            auto arrays = surface_arrays( surface.mesh() );
                            finish( surface, target, arrays );
                            write_vtk_polydata(
                                target.file, arrays, PolyDataCells::polys );
                        } );
                }
            }

            void add_blocks()
            {
                auto& group =
                    groups_.emplace_back( MultiblockGroup{ "Blocks", {} } );
                index_t position{ 0 };
                for( const auto& block : model_.blocks() )
                {
                    auto target = add_component(
                        block, MeshKind::hybrid_solid, position++, group );
                    if( dynamic_cast< const HybridSolid< 3 >* >( &block.mesh() )
                        == nullptr )
                    {
                        throw save_error( target.file, target.owner,
                            ": its mesh is a ", block.mesh().impl_name(),
                            ", which has no file form" );
                    }
                    jobs_.emplace_back(
                        [this, &block, target]
                        {
                            auto arrays = solid_arrays( block.mesh() );
                            finish( block, target, arrays );
                            write_vtk_unstructured_grid( target.file, arrays );
                        } );
                }
            }

            // The mesh files are written side by side; a failure is reported
            // for the first failing component in the model's order.
            void write_mesh_files() const
            {
                std::vector< std::exception_ptr > failures( jobs_.size() );
                tbb::parallel_for(
                    tbb::blocked_range< std::size_t >{ 0, jobs_.size(), 1 },
                    [&]( const tbb::blocked_range< std::size_t >& range )
                    {
                        for( auto job = range.begin(); job != range.end();
                             job++ )
                        {
                            try
                            {
                                jobs_[job]();
                            }
                            catch( ... )
                            {
                                failures[job] = std::current_exception();
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
            }

            void add_collections(
                const ComponentSet< Collection >& collections )
            {
                for( const auto& collection : collections )
                {
                    description_.collections.push_back(
                        { collection.component_type(), collection.id(),
                            std::string{ collection.name() } } );
                }
            }

            const StructuralModel& model_;
            const ModelFileLayout& layout_;
            ModelDescription description_;
            std::vector< MultiblockGroup > groups_;
            // Builds the arrays of one component mesh and writes its file.
            std::vector< std::function< void() > > jobs_;
        };
    } // namespace

    void save_model(
        const StructuralModel& model, const std::filesystem::path& path )
    {
        if( !path.has_filename() )
        {
            throw save_error( path, "the path names no file" );
        }
        const ModelFileLayout layout{ path };
        ModelFolderReplacement folder{ layout };
        // The files go to the fresh folder; the multiblock file names them
        // under the folder's final name.
        auto staged = layout;
        staged.folder = folder.staging();
        staged.description = folder.staging() / layout.description.filename();
        const auto groups = [&]
        {
            try
            {
                return ModelWriter{ model, staged }.write();
            }
            catch( const TessarkException& error )
            {
                // Messages name the files where they are meant to go.
                throw TessarkException{ absl::StrReplaceAll( error.what(),
                    { { folder.staging().string(), layout.folder.string() } } ) };
            }
        }();
        FileReplacement multiblock{ layout.multiblock, "[save_model] " };
        multiblock.write( vtk_multiblock_text( groups ) );
        // Last, so that ParaView never opens a model half written.
        folder.commit( multiblock );
    }
} // namespace brevane
