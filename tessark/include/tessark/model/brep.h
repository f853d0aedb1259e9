#pragma once

#include <vector>

#include <tessark/geometry/bounding_box.h>
#include <tessark/model/component_set.h>
#include <tessark/model/components.h>
#include <tessark/model/relationships.h>
#include <tessark/model/vertex_identifier.h>

namespace brevane
{
    // A boundary representation: corners, lines, surfaces and blocks with
    // their meshes, the relations between them, collections of them, and
    // the unique vertices that bind their mesh vertices. Look-ups of an
    // absent uuid throw a TessarkException naming it. Every relation query
    // answers in insertion order. Changes go through BRepBuilder.
    class BRep
    {
    public:
        BRep();
        virtual ~BRep();
        BRep( BRep&& ) noexcept;
        BRep& operator=( BRep&& ) noexcept;

        [[nodiscard]] index_t nb_corners() const
        {
            return corners_.size();
        }
        [[nodiscard]] index_t nb_lines() const
        {
            return lines_.size();
        }
        [[nodiscard]] index_t nb_surfaces() const
        {
            return surfaces_.size();
        }
        [[nodiscard]] index_t nb_blocks() const
        {
            return blocks_.size();
        }
        [[nodiscard]] const ComponentSet< Corner< 3 > >& corners() const
        {
            return corners_;
        }
        [[nodiscard]] const ComponentSet< Line< 3 > >& lines() const
        {
            return lines_;
        }
        [[nodiscard]] const ComponentSet< Surface< 3 > >& surfaces() const
        {
            return surfaces_;
        }
        [[nodiscard]] const ComponentSet< Block< 3 > >& blocks() const
        {
            return blocks_;
        }
        [[nodiscard]] bool has_corner( const uuid& id ) const
        {
            return corners_.contains( id );
        }
        [[nodiscard]] bool has_line( const uuid& id ) const
        {
            return lines_.contains( id );
        }
        [[nodiscard]] bool has_surface( const uuid& id ) const
        {
            return surfaces_.contains( id );
        }
        [[nodiscard]] bool has_block( const uuid& id ) const
        {
            return blocks_.contains( id );
        }
        [[nodiscard]] const Corner< 3 >& corner( const uuid& id ) const;
        [[nodiscard]] const Line< 3 >& line( const uuid& id ) const;
        [[nodiscard]] const Surface< 3 >& surface( const uuid& id ) const;
        [[nodiscard]] const Block< 3 >& block( const uuid& id ) const;

        [[nodiscard]] const ComponentSet< Collection >& model_boundaries() const
        {
            return model_boundaries_;
        }
        [[nodiscard]] const ComponentSet< Collection >& surface_collections()
            const
        {
            return surface_collections_;
        }
        [[nodiscard]] bool has_model_boundary( const uuid& id ) const
        {
            return model_boundaries_.contains( id );
        }
        [[nodiscard]] const Collection& model_boundary( const uuid& id ) const;
        [[nodiscard]] const Collection& surface_collection( const uuid& id ) const;

        // Relations, by uuid; see Relationships.
        [[nodiscard]] const Relationships& relationships() const
        {
            return relationships_;
        }
        [[nodiscard]] std::vector< ComponentID > boundaries( const uuid& id ) const
        {
            return relationships_.boundaries( id );
        }
        [[nodiscard]] std::vector< ComponentID > incidences( const uuid& id ) const
        {
            return relationships_.incidences( id );
        }
        [[nodiscard]] std::vector< ComponentID > internal_components(
            const uuid& id ) const
        {
            return relationships_.internal_components( id );
        }
        [[nodiscard]] std::vector< ComponentID > embeddings( const uuid& id ) const
        {
            return relationships_.embeddings( id );
        }
        // The surfaces in which a corner or a line is embedded.
        [[nodiscard]] std::vector< ComponentID > embedding_surfaces(
            const uuid& id ) const;
        [[nodiscard]] std::vector< ComponentID > items( const uuid& id ) const
        {
            return relationships_.items( id );
        }
        [[nodiscard]] std::vector< ComponentID > collections( const uuid& id ) const
        {
            return relationships_.collections( id );
        }
        [[nodiscard]] index_t nb_boundaries( const uuid& id ) const
        {
            return relationships_.nb_boundaries( id );
        }
        [[nodiscard]] index_t nb_incidences( const uuid& id ) const
        {
            return relationships_.nb_incidences( id );
        }
        [[nodiscard]] index_t nb_internal_components( const uuid& id ) const
        {
            return relationships_.nb_internal_components( id );
        }
        [[nodiscard]] index_t nb_embedding_surfaces( const uuid& id ) const;
        [[nodiscard]] index_t nb_items( const uuid& id ) const
        {
            return relationships_.nb_items( id );
        }
        [[nodiscard]] bool is_boundary(
            const uuid& boundary, const uuid& incidence ) const
        {
            return relationships_.is_boundary( boundary, incidence );
        }
        [[nodiscard]] bool is_internal(
            const uuid& internal, const uuid& embedding ) const
        {
            return relationships_.is_internal( internal, embedding );
        }
        [[nodiscard]] bool is_item( const uuid& item, const uuid& collection ) const
        {
            return relationships_.is_item( item, collection );
        }
        // True when the line's mesh is a loop: at least one edge and every
        // vertex used by exactly two edges.
        [[nodiscard]] bool is_closed( const Line< 3 >& line ) const;

        [[nodiscard]] const VertexIdentifier& vertex_identifier() const
        {
            return vertex_identifier_;
        }
        [[nodiscard]] index_t nb_unique_vertices() const
        {
            return vertex_identifier_.nb_unique_vertices();
        }
        [[nodiscard]] index_t unique_vertex(
            const ComponentMeshVertex& component_vertex ) const
        {
            return vertex_identifier_.unique_vertex( component_vertex );
        }
        [[nodiscard]] const VertexIdentifier::ComponentMeshVertices&
            component_mesh_vertices( index_t unique_vertex ) const
        {
            return vertex_identifier_.component_mesh_vertices( unique_vertex );
        }

        // The box of every vertex of every component mesh.
        [[nodiscard]] BoundingBox3D bounding_box() const;

    protected:
        // Copies every component (same uuid, name and a clone of its mesh
        // with its transferable attributes), collection, relation and
        // unique vertex into an empty model.
        void copy_into( BRep& copy ) const;
        // A collection with the same type, uuid and name.
        [[nodiscard]] static std::unique_ptr< Collection > clone_collection(
            const Collection& collection );

        friend class BRepBuilder;
        friend class ModelSnapshot;

        // The component or collection with that id, null when absent; the
        // structural model adds its own collections.
        [[nodiscard]] virtual Identifier* find_identifier( const uuid& id );

        ComponentSet< Corner< 3 > > corners_{ "Corner" };
        ComponentSet< Line< 3 > > lines_{ "Line" };
        ComponentSet< Surface< 3 > > surfaces_{ "Surface" };
        ComponentSet< Block< 3 > > blocks_{ "Block" };
        ComponentSet< Collection > model_boundaries_{ "ModelBoundary" };
        ComponentSet< Collection > surface_collections_{ "SurfaceCollection" };
        Relationships relationships_;
        VertexIdentifier vertex_identifier_;
    };
} // namespace brevane
