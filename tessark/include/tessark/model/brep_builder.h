#pragma once

#include <memory>
#include <string_view>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/mesh_builder_factory.h>
#include <tessark/mesh/surface_mesh_builder.h>
#include <tessark/model/brep.h>

namespace brevane
{
    // The one way to change a BRep: components, names, relations,
    // collections, meshes and unique vertices. Removing a component removes
    // its relations, its collection memberships and its vertex bindings.
    class BRepBuilder
    {
    public:
        explicit BRepBuilder( BRep& brep );
        virtual ~BRepBuilder();

        // New components with empty meshes: a point set, an edged curve, a
        // triangulated surface (or the given mesh) and a hybrid solid.
        const uuid& add_corner();
        const uuid& add_line();
        const uuid& add_surface();
        const uuid& add_surface( std::unique_ptr< SurfaceMesh< 3 > > mesh );
        const uuid& add_block();
        // The same, under the caller's uuid (to rebuild a saved model, for
        // instance). Throws a TessarkException naming the uuid and the
        // component or collection holding it when the model already uses
        // it; the model is then unchanged.
        const uuid& add_corner( const uuid& id );
        const uuid& add_line( const uuid& id );
        const uuid& add_surface( const uuid& id );
        const uuid& add_surface(
            const uuid& id, std::unique_ptr< SurfaceMesh< 3 > > mesh );
        const uuid& add_block( const uuid& id );
        const uuid& add_block(
            const uuid& id, std::unique_ptr< SolidMesh< 3 > > mesh );

        void remove_corner( const Corner< 3 >& corner );
        void remove_line( const Line< 3 >& line );
        void remove_surface( const Surface< 3 >& surface );
        void remove_block( const Block< 3 >& block );

        // Renames a component or collection of any kind.
        void set_name( const uuid& id, std::string_view name );

        void add_corner_line_boundary_relationship(
            const Corner< 3 >& corner, const Line< 3 >& line );
        void add_line_surface_boundary_relationship(
            const Line< 3 >& line, const Surface< 3 >& surface );
        void add_surface_block_boundary_relationship(
            const Surface< 3 >& surface, const Block< 3 >& block );
        void add_corner_surface_internal_relationship(
            const Corner< 3 >& corner, const Surface< 3 >& surface );
        void add_line_surface_internal_relationship(
            const Line< 3 >& line, const Surface< 3 >& surface );
        void add_corner_block_internal_relationship(
            const Corner< 3 >& corner, const Block< 3 >& block );
        void add_line_block_internal_relationship(
            const Line< 3 >& line, const Block< 3 >& block );
        void add_surface_block_internal_relationship(
            const Surface< 3 >& surface, const Block< 3 >& block );
        // Removes every relation between the two, both ways.
        void remove_relation( const uuid& first, const uuid& second );

        const uuid& add_model_boundary();
        // Under the caller's uuid, refused as for components.
        const uuid& add_model_boundary( const uuid& id );
        void add_surface_in_model_boundary(
            const Surface< 3 >& surface, const Collection& boundary );
        const uuid& add_surface_collection();
        const uuid& add_surface_collection( const uuid& id );
        void add_surface_in_surface_collection(
            const Surface< 3 >& surface, const Collection& collection );

        // Replace a component's mesh; the old mesh's vertex bindings go.
        void update_corner_mesh(
            const Corner< 3 >& corner, std::unique_ptr< PointSet< 3 > > mesh );
        void update_line_mesh(
            const Line< 3 >& line, std::unique_ptr< EdgedCurve< 3 > > mesh );
        void update_surface_mesh( const Surface< 3 >& surface,
            std::unique_ptr< SurfaceMesh< 3 > > mesh );
        void update_block_mesh(
            const Block< 3 >& block, std::unique_ptr< SolidMesh< 3 > > mesh );

        // Builders of the component meshes. A mesh changed through them
        // keeps its vertex bindings by index: after deleting vertices, call
        // update_component_vertices with the returned mapping.
        [[nodiscard]] std::unique_ptr< PointSetBuilder< 3 > >
        corner_mesh_builder( const uuid& id );
        [[nodiscard]] std::unique_ptr< EdgedCurveBuilder< 3 > >
        line_mesh_builder( const uuid& id );
        [[nodiscard]] std::unique_ptr< SurfaceMeshBuilder< 3 > >
        surface_mesh_builder( const uuid& id );
        // The builder of a surface mesh of a given kind
        // (TriangulatedSurfaceBuilder< 3 >...); throws
        // "Cannot create mesh builder with key: <key>" when the mesh is of
        // another kind.
        template < typename Builder >
        [[nodiscard]] std::unique_ptr< Builder > surface_mesh_builder(
            const uuid& id )
        {
            return create_mesh_builder< Builder >(
                modifiable_surface_mesh( id ) );
        }
        // Throws "Cannot create mesh builder with key: <key>" when the block
        // mesh is not a hybrid solid.
        [[nodiscard]] std::unique_ptr< HybridSolidBuilder< 3 > >
        block_mesh_builder( const uuid& id );
        [[nodiscard]] PointSet< 3 >& modifiable_corner_mesh( const uuid& id );
        [[nodiscard]] EdgedCurve< 3 >& modifiable_line_mesh( const uuid& id );
        [[nodiscard]] SurfaceMesh< 3 >& modifiable_surface_mesh(
            const uuid& id );
        [[nodiscard]] SolidMesh< 3 >& modifiable_block_mesh( const uuid& id );

        index_t create_unique_vertex();
        index_t create_unique_vertices( index_t nb );
        void set_unique_vertex( const ComponentMeshVertex& component_vertex,
            index_t unique_vertex );
        void unset_unique_vertex( const ComponentMeshVertex& component_vertex );
        // Binds vertex v of the component to unique_vertices[v] (NO_ID: left
        // as it is); see VertexIdentifierBuilder::set_unique_vertices.
        void set_unique_vertices( const ComponentID& component,
            absl::Span< const index_t > unique_vertices );
        void update_component_vertices(
            const ComponentID& component, absl::Span< const index_t > old2new );
        std::vector< index_t > delete_isolated_vertices();

    protected:
        // Registers a new collection of the given set and type.
        const uuid& add_collection(
            ComponentSet< Collection >& set, const ComponentType& type );
        // The same under the caller's uuid; throws when the model uses it.
        const uuid& add_collection( ComponentSet< Collection >& set,
            const ComponentType& type, const uuid& id );
        void remove_collection(
            ComponentSet< Collection >& set, const uuid& id );
        void add_item( const uuid& item, const uuid& collection );

    private:
        template < typename ComponentType, typename Mesh >
        const uuid& add_component(
            ComponentSet< ComponentType >& set, std::unique_ptr< Mesh > mesh );
        template < typename ComponentType, typename Mesh >
        const uuid& add_component( ComponentSet< ComponentType >& set,
            std::unique_ptr< Mesh > mesh, const uuid& id );
        // Throws, naming the holder, when a component or collection of the
        // model has this uuid; kind names what was to be added.
        void check_free( const uuid& id, std::string_view kind );
        void unregister( const uuid& id );

        BRep& brep_;
    };
} // namespace brevane
