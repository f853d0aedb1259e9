#pragma once

#include <memory>
#include <vector>

#include <absl/types/span.h>

#include <tessark/mesh/vertex_set.h>

namespace brevane
{
    // The writer of a VertexSet: creates, deletes and reorders vertices.
    // Vertex attributes follow every change. Builders of the other meshes
    // derive from it.
    class VertexSetBuilder
    {
    public:
        virtual ~VertexSetBuilder();

        VertexSetBuilder( const VertexSetBuilder& ) = delete;
        VertexSetBuilder& operator=( const VertexSetBuilder& ) = delete;

        // The builder registered for the mesh's impl_name(); throws
        // "Cannot create mesh builder with key: <key>" when there is none.
        [[nodiscard]] static std::unique_ptr< VertexSetBuilder > create(
            VertexSet& mesh );

        explicit VertexSetBuilder( VertexSet& mesh );

        // Returns the index of the new vertex.
        index_t create_vertex();
        // Returns the index of the first new vertex; the others follow.
        index_t create_vertices( index_t nb );
        // Removes the flagged vertices (one flag per vertex) and returns the
        // old-to-new vertex mapping, NO_ID for the deleted ones. Throws,
        // leaving the mesh unchanged, when a flagged vertex is still used by
        // an element of the mesh.
        std::vector< index_t > delete_vertices(
            const std::vector< bool >& to_delete );
        // Vertex i becomes vertex old2new[i]; old2new is a permutation.
        void permute_vertices( absl::Span< const index_t > old2new );

    private:
        VertexSet& vertex_set_;
    };
} // namespace brevane
