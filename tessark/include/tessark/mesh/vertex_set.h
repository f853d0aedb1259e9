#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <absl/types/span.h>

#include <tessark/basic/attribute_manager.h>
#include <tessark/basic/common.h>

namespace brevane
{
    class VertexSetBuilder;

    // A set of vertices carrying attributes; the root of every mesh. The
    // number of vertices is the number of elements of the vertex attribute
    // manager. Meshes are modified only through their builder
    // (VertexSetBuilder and its derived classes); they are movable, not
    // copyable (clone() makes the copies that are needed).
    class VertexSet
    {
    public:
        virtual ~VertexSet();

        VertexSet( VertexSet&& other ) noexcept;
        VertexSet& operator=( VertexSet&& other ) noexcept;
        VertexSet& operator=( const VertexSet& ) = delete;

        [[nodiscard]] static std::unique_ptr< VertexSet > create();
        // A copy with the transferable vertex attributes.
        [[nodiscard]] std::unique_ptr< VertexSet > clone() const;

        // The key of the mesh implementation, under which its builder is
        // registered in the MeshBuilderFactory.
        [[nodiscard]] virtual std::string_view impl_name() const;

        [[nodiscard]] index_t nb_vertices() const
        {
            return vertex_attributes_->nb_elements();
        }
        // Non-const access from a const mesh: attributes are registered on
        // meshes that are otherwise read only.
        [[nodiscard]] AttributeManager& vertex_attribute_manager() const
        {
            return *vertex_attributes_;
        }

    protected:
        VertexSet();
        // Copies the transferable vertex attributes.
        VertexSet( const VertexSet& other );

        // Throws when index is not a vertex, naming the caller.
        void check_vertex( index_t vertex, std::string_view caller ) const;

        // Vertex-indexed data of derived meshes (points, links to elements)
        // follows the vertex changes through these. resize_vertex_data gets
        // the new number of vertices; check_vertex_deletion throws, before
        // anything changes, when a flagged vertex is still used by an
        // element; the delete and permute hooks also remap the vertex indices
        // stored in elements.
        virtual void resize_vertex_data( index_t nb_vertices );
        virtual void check_vertex_deletion(
            const std::vector< bool >& to_delete ) const;
        virtual void delete_vertex_data( const std::vector< bool >& to_delete,
            absl::Span< const index_t > old2new );
        virtual void permute_vertex_data( absl::Span< const index_t > old2new );

    private:
        friend class VertexSetBuilder;

        index_t create_vertices( index_t nb );
        std::vector< index_t > delete_vertices(
            const std::vector< bool >& to_delete );
        void permute_vertices( absl::Span< const index_t > old2new );

        std::unique_ptr< AttributeManager > vertex_attributes_;
    };
} // namespace brevane
