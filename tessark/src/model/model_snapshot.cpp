#include <tessark/model/model_snapshot.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <tessark/model/structural_model.h>

#include "model/component_clone.h"

namespace brevane
{
    namespace
    {
        std::unique_ptr< SurfaceMesh< 3 > > empty_like(
            const SurfaceMesh< 3 >& mesh )
        {
            if( dynamic_cast< const PolygonalSurface< 3 >* >( &mesh ) )
            {
                return PolygonalSurface< 3 >::create();
            }
            return TriangulatedSurface< 3 >::create();
        }

        std::unique_ptr< SolidMesh< 3 > > empty_like( const SolidMesh< 3 >& )
        {
            return HybridSolid< 3 >::create();
        }

        // The identity of a collection, or of a surface or block with the
        // mesh taken out of it, in the order of its set.
        template < typename Mesh >
        struct Kept
        {
            uuid id;
            std::string name;
            std::unique_ptr< Mesh > mesh;
        };

        struct KeptCollection
        {
            uuid id;
            std::string name;
            ComponentType type;
        };

        // The identity of each component with an empty mesh of the same
        // kind, ready to be swapped in; the model is not changed yet.
        template < typename Component >
        std::vector< Kept< typename std::remove_cvref_t<
            decltype( std::declval< Component >().mesh() ) > > >
        empty_meshes( const ComponentSet< Component >& set )
        {
            using Mesh = std::remove_cvref_t<
                decltype( std::declval< Component >().mesh() ) >;
            std::vector< Kept< Mesh > > kept;
            kept.reserve( set.size() );
            for( const auto& component : set )
            {
                kept.push_back(
                    { component.id(), std::string{ component.name() },
                        empty_like( component.mesh() ) } );
            }
            return kept;
        }

        // Swaps each kept mesh with the component's: the empty meshes go
        // into the model, its meshes into the snapshot. `swap_mesh` puts a
        // mesh into a component and returns the one it had.
        template < typename Component, typename Mesh, typename SwapMesh >
        void swap_meshes( ComponentSet< Component >& set,
            std::vector< Kept< Mesh > >& kept, const SwapMesh& swap_mesh )
        {
            for( auto& entry : kept )
            {
                entry.mesh =
                    swap_mesh( set.get( entry.id ), std::move( entry.mesh ) );
            }
        }

        std::vector< KeptCollection > collection_identities(
            const ComponentSet< Collection >& set )
        {
            std::vector< KeptCollection > kept;
            kept.reserve( set.size() );
            for( const auto& collection : set )
            {
                kept.push_back(
                    { collection.id(), std::string{ collection.name() },
                        collection.component_type() } );
            }
            return kept;
        }

        // Rebuilds the set from what was kept, in its order: the objects
        // still in the set are taken back with their kept mesh and name,
        // missing ones are made again; objects added since are dropped.
        template < typename Component, typename Mesh, typename SwapMesh >
        void put_back_meshes( ComponentSet< Component >& set,
            std::vector< Kept< Mesh > >& kept, const SwapMesh& swap_mesh )
        {
            ComponentSet< Component > restored{ set.kind() };
            for( auto& entry : kept )
            {
                auto component = set.release( entry.id );
                if( component )
                {
                    static_cast< void >(
                        swap_mesh( *component, std::move( entry.mesh ) ) );
                }
                else
                {
                    component = std::make_unique< Component >(
                        std::move( entry.mesh ) );
                }
                IdentifierBuilder identifier{ *component };
                identifier.set_id( entry.id );
                identifier.set_name( entry.name );
                restored.add( std::move( component ) );
            }
            set = std::move( restored );
        }

        void put_back_collections( ComponentSet< Collection >& set,
            const std::vector< KeptCollection >& kept )
        {
            ComponentSet< Collection > restored{ set.kind() };
            for( const auto& entry : kept )
            {
                auto collection = set.release( entry.id );
                if( !collection || collection->component_type() != entry.type )
                {
                    collection = std::make_unique< Collection >( entry.type );
                }
                IdentifierBuilder identifier{ *collection };
                identifier.set_id( entry.id );
                identifier.set_name( entry.name );
                restored.add( std::move( collection ) );
            }
            set = std::move( restored );
        }

        // The unique vertices of the corners and lines alone, numbered as
        // before, each listing its component vertices in the same order.
        VertexIdentifier corner_and_line_vertices(
            const VertexIdentifier& identifier )
        {
            VertexIdentifier result;
            VertexIdentifierBuilder builder{ result };
            builder.create_unique_vertices( identifier.nb_unique_vertices() );
            for( index_t unique_vertex = 0;
                 unique_vertex < identifier.nb_unique_vertices();
                 unique_vertex++ )
            {
                for( const auto& vertex :
                    identifier.component_mesh_vertices( unique_vertex ) )
                {
                    const auto& type = vertex.component_id.type();
                    if( type == component_types::corner()
                        || type == component_types::line() )
                    {
                        builder.set_unique_vertex( vertex, unique_vertex );
                    }
                }
            }
            return result;
        }
    } // namespace

    struct ModelSnapshot::Impl
    {
        ComponentSet< Corner< 3 > > corners{ "Corner" };
        ComponentSet< Line< 3 > > lines{ "Line" };
        std::vector< Kept< SurfaceMesh< 3 > > > surfaces;
        std::vector< Kept< SolidMesh< 3 > > > blocks;
        std::vector< KeptCollection > model_boundaries;
        std::vector< KeptCollection > surface_collections;
        std::vector< KeptCollection > horizons;
        std::vector< KeptCollection > faults;
        std::vector< KeptCollection > fault_blocks;
        Relationships relationships;
        VertexIdentifier vertex_identifier;
    };

    ModelSnapshot::ModelSnapshot( StructuralModel& model )
        : model_( model ), impl_( std::make_unique< Impl >() )
    {
        // Everything that can throw comes before the first change of the
        // model: a failed snapshot leaves it untouched.
        auto corners =
            model.corners_.copy( detail::clone_component< Corner< 3 > > );
        auto lines = model.lines_.copy( detail::clone_component< Line< 3 > > );
        auto vertices = corner_and_line_vertices( model.vertex_identifier_ );
        impl_->model_boundaries =
            collection_identities( model.model_boundaries_ );
        impl_->surface_collections =
            collection_identities( model.surface_collections_ );
        impl_->horizons = collection_identities( model.horizons_ );
        impl_->faults = collection_identities( model.faults_ );
        impl_->fault_blocks = collection_identities( model.fault_blocks_ );
        impl_->relationships = model.relationships_;
        // Meshes are private to their components: the snapshot's own
        // functions hand them out.
        const auto swap_mesh = []( auto& component, auto mesh )
        {
            return std::exchange( component.mesh_, std::move( mesh ) );
        };
        impl_->surfaces = empty_meshes( model.surfaces_ );
        impl_->blocks = empty_meshes( model.blocks_ );

        // From here on nothing throws.
        swap_meshes( model.surfaces_, impl_->surfaces, swap_mesh );
        swap_meshes( model.blocks_, impl_->blocks, swap_mesh );
        impl_->corners = std::exchange( model.corners_, std::move( corners ) );
        impl_->lines = std::exchange( model.lines_, std::move( lines ) );
        impl_->vertex_identifier =
            std::exchange( model.vertex_identifier_, std::move( vertices ) );
    }

    ModelSnapshot::~ModelSnapshot() = default;

    void ModelSnapshot::restore()
    {
        TESSARK_EXCEPTION( impl_ != nullptr,
            "[ModelSnapshot::restore] The snapshot was already restored" );
        auto& model = model_;
        const auto swap_mesh = []( auto& component, auto mesh )
        {
            return std::exchange( component.mesh_, std::move( mesh ) );
        };
        model.corners_ = std::move( impl_->corners );
        model.lines_ = std::move( impl_->lines );
        put_back_meshes( model.surfaces_, impl_->surfaces, swap_mesh );
        put_back_meshes( model.blocks_, impl_->blocks, swap_mesh );
        put_back_collections(
            model.model_boundaries_, impl_->model_boundaries );
        put_back_collections(
            model.surface_collections_, impl_->surface_collections );
        put_back_collections( model.horizons_, impl_->horizons );
        put_back_collections( model.faults_, impl_->faults );
        put_back_collections( model.fault_blocks_, impl_->fault_blocks );
        model.relationships_ = std::move( impl_->relationships );
        model.vertex_identifier_ = std::move( impl_->vertex_identifier );
        impl_.reset();
    }
} // namespace brevane
