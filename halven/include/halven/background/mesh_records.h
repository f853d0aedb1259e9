#pragma once

#include <string>
#include <utility>

#include <tessark/basic/common.h>
#include <tessark/basic/string_concatenation.h>
#include <tessark/basic/uuid.h>

// Records naming an element of another mesh (a model component's mesh) that
// an element of a background surface comes from.
namespace brevane::internal
{
    // Vertex `vertex` of the mesh `mesh_id`.
    struct MeshVertex
    {
        [[nodiscard]] bool operator==( const MeshVertex& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return concatenate( "(mesh ", mesh_id.string(), ", vertex ", vertex, ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const MeshVertex& value )
        {
            return H::combine( std::move( hash ), value.mesh_id, value.vertex );
        }

        uuid mesh_id;
        index_t vertex{ NO_ID };
    };

    // Element (polygon) `element` of the mesh `mesh_id`.
    struct MeshElement
    {
        [[nodiscard]] bool operator==( const MeshElement& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return concatenate(
                "(mesh ", mesh_id.string(), ", element ", element, ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const MeshElement& value )
        {
            return H::combine( std::move( hash ), value.mesh_id, value.element );
        }

        uuid mesh_id;
        index_t element{ NO_ID };
    };

    // Edge `edge` of the mesh `mesh_id`; NO_ID when the edge of that mesh is
    // not known (only the mesh is).
    struct MeshEdge
    {
        [[nodiscard]] bool operator==( const MeshEdge& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return concatenate( "(mesh ", mesh_id.string(), ", edge ", edge, ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const MeshEdge& value )
        {
            return H::combine( std::move( hash ), value.mesh_id, value.edge );
        }

        uuid mesh_id;
        index_t edge{ NO_ID };
    };
} // namespace brevane::internal
