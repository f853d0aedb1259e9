#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <tessark/model/component_type.h>

namespace brevane
{
    // Binds the vertices of the component meshes of a model to model-wide
    // unique vertices: component vertices that stand for the same point of
    // the model share one unique vertex. A component vertex has at most one
    // unique vertex; a unique vertex lists its component vertices in binding
    // order.
    class VertexIdentifier
    {
    public:
        // Most unique vertices of a pillar model stand for one or two
        // component vertices (a horizon node, a node shared by a horizon and
        // a fault): two inline keep a unique vertex at 88 bytes, where four
        // took 168 and dominated the memory of large models.
        using ComponentMeshVertices = absl::InlinedVector< ComponentMeshVertex, 2 >;

        [[nodiscard]] index_t nb_unique_vertices() const
        {
            return static_cast< index_t >( unique_vertices_.size() );
        }
        // NO_ID when the component vertex is bound to nothing.
        [[nodiscard]] index_t unique_vertex(
            const ComponentMeshVertex& component_vertex ) const;
        // The unique vertex of every vertex of a component, by vertex index:
        // NO_ID for an unbound vertex, and vertices past the end of the span
        // are unbound. For loops over a whole mesh, one look-up instead of
        // one per vertex.
        [[nodiscard]] absl::Span< const index_t > component_unique_vertices(
            const uuid& component ) const;
        // Throws a TessarkException naming the index when it is not a unique
        // vertex.
        [[nodiscard]] const ComponentMeshVertices& component_mesh_vertices(
            index_t unique_vertex ) const;
        // The component vertices of a unique vertex in one component.
        [[nodiscard]] std::vector< index_t > component_mesh_vertices(
            index_t unique_vertex, const uuid& component ) const;
        [[nodiscard]] bool has_component_mesh_vertices(
            index_t unique_vertex, const ComponentType& type ) const;

    private:
        friend class VertexIdentifierBuilder;

        std::vector< ComponentMeshVertices > unique_vertices_;
        absl::flat_hash_map< uuid, std::vector< index_t > > component_vertices_;
    };

    class VertexIdentifierBuilder
    {
    public:
        explicit VertexIdentifierBuilder( VertexIdentifier& identifier )
            : identifier_( identifier )
        {
        }

        index_t create_unique_vertex();
        // Creates the given number; returns the first new index.
        index_t create_unique_vertices( index_t nb );
        // Binds the component vertex, unbinding it from its previous unique
        // vertex if any.
        void set_unique_vertex(
            const ComponentMeshVertex& component_vertex, index_t unique_vertex );
        void unset_unique_vertex( const ComponentMeshVertex& component_vertex );
        // Binds vertex v of the component to unique_vertices[v], in vertex
        // order, as set_unique_vertex would one vertex after the other;
        // vertices given NO_ID keep their binding. All unique vertices are
        // checked first: when one does not exist, nothing is bound.
        void set_unique_vertices( const ComponentID& component,
            absl::Span< const index_t > unique_vertices );
        // Unbinds every vertex of the component.
        void remove_component( const uuid& component );
        // Follows a renumbering of a component's mesh vertices: vertex v
        // becomes old2new[v], NO_ID meaning deleted (unbound).
        void update_component_vertices(
            const ComponentID& component, absl::Span< const index_t > old2new );
        // Removes the unique vertices bound to no component vertex and
        // renumbers the others in order; returns old-to-new (NO_ID for the
        // removed ones).
        std::vector< index_t > delete_isolated_vertices();

    private:
        VertexIdentifier& identifier_;
    };
} // namespace brevane
