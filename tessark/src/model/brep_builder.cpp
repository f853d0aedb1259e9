#include <tessark/model/brep_builder.h>

#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    namespace
    {
        // Adds a component or collection whose uuid is set and registers it
        // for relations.
        template < typename Component >
        const uuid& insert( ComponentSet< Component >& set,
            Relationships& relationships,
            std::unique_ptr< Component > component )
        {
            auto& added = set.add( std::move( component ) );
            relationships.register_component( added.component_id() );
            return added.id();
        }
    } // namespace

    BRepBuilder::BRepBuilder( BRep& brep ) : brep_( brep )
    {
    }

    BRepBuilder::~BRepBuilder() = default;

    template < typename ComponentType, typename Mesh >
    const uuid& BRepBuilder::add_component(
        ComponentSet< ComponentType >& set, std::unique_ptr< Mesh > mesh )
    {
        TESSARK_EXCEPTION( mesh != nullptr, "[BRepBuilder] Cannot add a ",
            ComponentType::component_type_static().get(), " without mesh" );
        return insert( set, brep_.relationships_,
            std::make_unique< ComponentType >( std::move( mesh ) ) );
    }

    template < typename ComponentType, typename Mesh >
    const uuid& BRepBuilder::add_component( ComponentSet< ComponentType >& set,
        std::unique_ptr< Mesh > mesh, const uuid& id )
    {
        const auto kind = ComponentType::component_type_static().get();
        TESSARK_EXCEPTION( mesh != nullptr, "[BRepBuilder] Cannot add ", kind,
            " ", id.string(), " without mesh" );
        check_free( id, kind );
        auto component = std::make_unique< ComponentType >( std::move( mesh ) );
        IdentifierBuilder{ *component }.set_id( id );
        return insert( set, brep_.relationships_, std::move( component ) );
    }

    void BRepBuilder::check_free( const uuid& id, std::string_view kind )
    {
        const auto* holder = brep_.find_identifier( id );
        if( holder == nullptr )
        {
            return;
        }
        // Every component and collection is registered for relations, which
        // know its kind.
        throw TessarkException{ "[BRepBuilder] Cannot add ", kind, " ",
            id.string(), ": the model already has ",
            brep_.relationships_.component( id ).type().get(), " ", id.string(),
            " \"", holder->name(), "\" under this uuid" };
    }

    const uuid& BRepBuilder::add_corner()
    {
        return add_component( brep_.corners_, PointSet< 3 >::create() );
    }
    const uuid& BRepBuilder::add_line()
    {
        return add_component( brep_.lines_, EdgedCurve< 3 >::create() );
    }
    const uuid& BRepBuilder::add_surface()
    {
        return add_surface( TriangulatedSurface< 3 >::create() );
    }
    const uuid& BRepBuilder::add_surface(
        std::unique_ptr< SurfaceMesh< 3 > > mesh )
    {
        return add_component( brep_.surfaces_, std::move( mesh ) );
    }
    const uuid& BRepBuilder::add_block()
    {
        return add_component( brep_.blocks_,
            std::unique_ptr< SolidMesh< 3 > >{ HybridSolid< 3 >::create() } );
    }

    const uuid& BRepBuilder::add_corner( const uuid& id )
    {
        return add_component( brep_.corners_, PointSet< 3 >::create(), id );
    }
    const uuid& BRepBuilder::add_line( const uuid& id )
    {
        return add_component( brep_.lines_, EdgedCurve< 3 >::create(), id );
    }
    const uuid& BRepBuilder::add_surface( const uuid& id )
    {
        return add_surface( id, TriangulatedSurface< 3 >::create() );
    }
    const uuid& BRepBuilder::add_surface(
        const uuid& id, std::unique_ptr< SurfaceMesh< 3 > > mesh )
    {
        return add_component( brep_.surfaces_, std::move( mesh ), id );
    }
    const uuid& BRepBuilder::add_block( const uuid& id )
    {
        return add_block( id,
            std::unique_ptr< SolidMesh< 3 > >{ HybridSolid< 3 >::create() } );
    }
    const uuid& BRepBuilder::add_block(
        const uuid& id, std::unique_ptr< SolidMesh< 3 > > mesh )
    {
        return add_component( brep_.blocks_, std::move( mesh ), id );
    }

    void BRepBuilder::unregister( const uuid& id )
    {
        brep_.relationships_.unregister_component( id );
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.remove_component(
            id );
    }

    void BRepBuilder::remove_corner( const Corner< 3 >& corner )
    {
        const auto id = corner.id();
        unregister( id );
        brep_.corners_.remove( id );
    }
    void BRepBuilder::remove_line( const Line< 3 >& line )
    {
        const auto id = line.id();
        unregister( id );
        brep_.lines_.remove( id );
    }
    void BRepBuilder::remove_surface( const Surface< 3 >& surface )
    {
        const auto id = surface.id();
        unregister( id );
        brep_.surfaces_.remove( id );
    }
    void BRepBuilder::remove_block( const Block< 3 >& block )
    {
        const auto id = block.id();
        unregister( id );
        brep_.blocks_.remove( id );
    }

    void BRepBuilder::set_name( const uuid& id, std::string_view name )
    {
        auto* identifier = brep_.find_identifier( id );
        TESSARK_EXCEPTION( identifier != nullptr, "[BRepBuilder] Cannot name ",
            id.string(),
            ": it is not a component or collection of this model" );
        IdentifierBuilder{ *identifier }.set_name( name );
    }

    void BRepBuilder::add_corner_line_boundary_relationship(
        const Corner< 3 >& corner, const Line< 3 >& line )
    {
        brep_.relationships_.add_boundary_relation( corner.id(), line.id() );
    }
    void BRepBuilder::add_line_surface_boundary_relationship(
        const Line< 3 >& line, const Surface< 3 >& surface )
    {
        brep_.relationships_.add_boundary_relation( line.id(), surface.id() );
    }
    void BRepBuilder::add_surface_block_boundary_relationship(
        const Surface< 3 >& surface, const Block< 3 >& block )
    {
        brep_.relationships_.add_boundary_relation( surface.id(), block.id() );
    }
    void BRepBuilder::add_corner_surface_internal_relationship(
        const Corner< 3 >& corner, const Surface< 3 >& surface )
    {
        brep_.relationships_.add_internal_relation( corner.id(), surface.id() );
    }
    void BRepBuilder::add_line_surface_internal_relationship(
        const Line< 3 >& line, const Surface< 3 >& surface )
    {
        brep_.relationships_.add_internal_relation( line.id(), surface.id() );
    }
    void BRepBuilder::add_corner_block_internal_relationship(
        const Corner< 3 >& corner, const Block< 3 >& block )
    {
        brep_.relationships_.add_internal_relation( corner.id(), block.id() );
    }
    void BRepBuilder::add_line_block_internal_relationship(
        const Line< 3 >& line, const Block< 3 >& block )
    {
        brep_.relationships_.add_internal_relation( line.id(), block.id() );
    }
    void BRepBuilder::add_surface_block_internal_relationship(
        const Surface< 3 >& surface, const Block< 3 >& block )
    {
        brep_.relationships_.add_internal_relation( surface.id(), block.id() );
    }
    void BRepBuilder::remove_relation( const uuid& first, const uuid& second )
    {
        brep_.relationships_.remove_relation( first, second );
    }

    const uuid& BRepBuilder::add_collection(
        ComponentSet< Collection >& set, const ComponentType& type )
    {
        return insert(
            set, brep_.relationships_, std::make_unique< Collection >( type ) );
    }
    const uuid& BRepBuilder::add_collection( ComponentSet< Collection >& set,
        const ComponentType& type, const uuid& id )
    {
        check_free( id, type.get() );
        auto collection = std::make_unique< Collection >( type );
        IdentifierBuilder{ *collection }.set_id( id );
        return insert( set, brep_.relationships_, std::move( collection ) );
    }
    void BRepBuilder::remove_collection(
        ComponentSet< Collection >& set, const uuid& id )
    {
        brep_.relationships_.unregister_component( id );
        set.remove( id );
    }
    void BRepBuilder::add_item( const uuid& item, const uuid& collection )
    {
        brep_.relationships_.add_item_in_collection( item, collection );
    }

    const uuid& BRepBuilder::add_model_boundary()
    {
        return add_collection(
            brep_.model_boundaries_, component_types::model_boundary() );
    }
    const uuid& BRepBuilder::add_model_boundary( const uuid& id )
    {
        return add_collection(
            brep_.model_boundaries_, component_types::model_boundary(), id );
    }
    void BRepBuilder::add_surface_in_model_boundary(
        const Surface< 3 >& surface, const Collection& boundary )
    {
        add_item( surface.id(), boundary.id() );
    }
    const uuid& BRepBuilder::add_surface_collection()
    {
        return add_collection(
            brep_.surface_collections_, component_types::surface_collection() );
    }
    const uuid& BRepBuilder::add_surface_collection( const uuid& id )
    {
        return add_collection( brep_.surface_collections_,
            component_types::surface_collection(), id );
    }
    void BRepBuilder::add_surface_in_surface_collection(
        const Surface< 3 >& surface, const Collection& collection )
    {
        add_item( surface.id(), collection.id() );
    }

    void BRepBuilder::update_corner_mesh(
        const Corner< 3 >& corner, std::unique_ptr< PointSet< 3 > > mesh )
    {
        TESSARK_EXCEPTION( mesh != nullptr, "[BRepBuilder] Cannot give Corner ",
            corner.id().string(), " a null mesh" );
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.remove_component(
            corner.id() );
        brep_.corners_.get( corner.id() ).set_mesh( std::move( mesh ) );
    }
    void BRepBuilder::update_line_mesh(
        const Line< 3 >& line, std::unique_ptr< EdgedCurve< 3 > > mesh )
    {
        TESSARK_EXCEPTION( mesh != nullptr, "[BRepBuilder] Cannot give Line ",
            line.id().string(), " a null mesh" );
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.remove_component(
            line.id() );
        brep_.lines_.get( line.id() ).set_mesh( std::move( mesh ) );
    }
    void BRepBuilder::update_surface_mesh(
        const Surface< 3 >& surface, std::unique_ptr< SurfaceMesh< 3 > > mesh )
    {
        TESSARK_EXCEPTION( mesh != nullptr,
            "[BRepBuilder] Cannot give Surface ", surface.id().string(),
            " a null mesh" );
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.remove_component(
            surface.id() );
        brep_.surfaces_.get( surface.id() ).set_mesh( std::move( mesh ) );
    }
    void BRepBuilder::update_block_mesh(
        const Block< 3 >& block, std::unique_ptr< SolidMesh< 3 > > mesh )
    {
        TESSARK_EXCEPTION( mesh != nullptr, "[BRepBuilder] Cannot give Block ",
            block.id().string(), " a null mesh" );
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.remove_component(
            block.id() );
        brep_.blocks_.get( block.id() ).set_mesh( std::move( mesh ) );
    }

    PointSet< 3 >& BRepBuilder::modifiable_corner_mesh( const uuid& id )
    {
        return brep_.corners_.get( id ).modifiable_mesh();
    }
    EdgedCurve< 3 >& BRepBuilder::modifiable_line_mesh( const uuid& id )
    {
        return brep_.lines_.get( id ).modifiable_mesh();
    }
    SurfaceMesh< 3 >& BRepBuilder::modifiable_surface_mesh( const uuid& id )
    {
        return brep_.surfaces_.get( id ).modifiable_mesh();
    }
    SolidMesh< 3 >& BRepBuilder::modifiable_block_mesh( const uuid& id )
    {
        return brep_.blocks_.get( id ).modifiable_mesh();
    }

    std::unique_ptr< PointSetBuilder< 3 > > BRepBuilder::corner_mesh_builder(
        const uuid& id )
    {
        return create_mesh_builder< PointSetBuilder< 3 > >(
            modifiable_corner_mesh( id ) );
    }
    std::unique_ptr< EdgedCurveBuilder< 3 > > BRepBuilder::line_mesh_builder(
        const uuid& id )
    {
        return create_mesh_builder< EdgedCurveBuilder< 3 > >(
            modifiable_line_mesh( id ) );
    }
    std::unique_ptr< SurfaceMeshBuilder< 3 > >
    BRepBuilder::surface_mesh_builder( const uuid& id )
    {
        return create_mesh_builder< SurfaceMeshBuilder< 3 > >(
            modifiable_surface_mesh( id ) );
    }
    std::unique_ptr< HybridSolidBuilder< 3 > > BRepBuilder::block_mesh_builder(
        const uuid& id )
    {
        return create_mesh_builder< HybridSolidBuilder< 3 > >(
            modifiable_block_mesh( id ) );
    }

    index_t BRepBuilder::create_unique_vertex()
    {
        return VertexIdentifierBuilder{ brep_.vertex_identifier_ }
            .create_unique_vertex();
    }
    index_t BRepBuilder::create_unique_vertices( index_t nb )
    {
        return VertexIdentifierBuilder{ brep_.vertex_identifier_ }
            .create_unique_vertices( nb );
    }
    void BRepBuilder::set_unique_vertex(
        const ComponentMeshVertex& component_vertex, index_t unique_vertex )
    {
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.set_unique_vertex(
            component_vertex, unique_vertex );
    }
    void BRepBuilder::set_unique_vertices( const ComponentID& component,
        absl::Span< const index_t > unique_vertices )
    {
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.set_unique_vertices(
            component, unique_vertices );
    }

    void BRepBuilder::unset_unique_vertex(
        const ComponentMeshVertex& component_vertex )
    {
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }.unset_unique_vertex(
            component_vertex );
    }
    void BRepBuilder::update_component_vertices(
        const ComponentID& component, absl::Span< const index_t > old2new )
    {
        VertexIdentifierBuilder{ brep_.vertex_identifier_ }
            .update_component_vertices( component, old2new );
    }
    std::vector< index_t > BRepBuilder::delete_isolated_vertices()
    {
        return VertexIdentifierBuilder{ brep_.vertex_identifier_ }
            .delete_isolated_vertices();
    }
} // namespace brevane
