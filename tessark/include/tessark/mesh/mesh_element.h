#pragma once

#include <string>
#include <utility>

#include <absl/strings/str_cat.h>

#include <tessark/basic/common.h>

// Addresses of the parts of mesh elements: a corner of a polygon, an edge of
// a polygon, an end of a graph edge, a facet of a polyhedron.
namespace brevane
{
    // Vertex vertex_id of polygon polygon_id, in polygon order.
    struct PolygonVertex
    {
        PolygonVertex() = default;
        PolygonVertex( index_t polygon, local_index_t vertex )
            : polygon_id( polygon ), vertex_id( vertex )
        {
        }

        [[nodiscard]] bool operator==(
            const PolygonVertex& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return absl::StrCat( "(polygon ", polygon_id, ", vertex ",
                static_cast< unsigned >( vertex_id ), ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const PolygonVertex& value )
        {
            return H::combine(
                std::move( hash ), value.polygon_id, value.vertex_id );
        }

        index_t polygon_id{ NO_ID };
        local_index_t vertex_id{ NO_LID };
    };

    // Edge edge_id of polygon polygon_id: it goes from the polygon's vertex
    // edge_id to its vertex edge_id + 1 (modulo the number of vertices).
    struct PolygonEdge
    {
        PolygonEdge() = default;
        PolygonEdge( index_t polygon, local_index_t edge )
            : polygon_id( polygon ), edge_id( edge )
        {
        }
        // The edge starting at the polygon vertex.
        explicit PolygonEdge( const PolygonVertex& start )
            : polygon_id( start.polygon_id ), edge_id( start.vertex_id )
        {
        }

        [[nodiscard]] bool operator==(
            const PolygonEdge& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return absl::StrCat( "(polygon ", polygon_id, ", edge ",
                static_cast< unsigned >( edge_id ), ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const PolygonEdge& value )
        {
            return H::combine(
                std::move( hash ), value.polygon_id, value.edge_id );
        }

        index_t polygon_id{ NO_ID };
        local_index_t edge_id{ NO_LID };
    };

    // End vertex_id (0 or 1) of the graph edge edge_id.
    struct EdgeVertex
    {
        EdgeVertex() = default;
        EdgeVertex( index_t edge, local_index_t vertex )
            : edge_id( edge ), vertex_id( vertex )
        {
        }

        // The other end of the same edge.
        [[nodiscard]] EdgeVertex opposite() const
        {
            return EdgeVertex{ edge_id,
                static_cast< local_index_t >( vertex_id == 0 ? 1 : 0 ) };
        }
        [[nodiscard]] bool operator==(
            const EdgeVertex& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return absl::StrCat( "(edge ", edge_id, ", vertex ",
                static_cast< unsigned >( vertex_id ), ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const EdgeVertex& value )
        {
            return H::combine(
                std::move( hash ), value.edge_id, value.vertex_id );
        }

        index_t edge_id{ NO_ID };
        local_index_t vertex_id{ NO_LID };
    };

    // Facet facet_id of polyhedron polyhedron_id.
    struct PolyhedronFacet
    {
        PolyhedronFacet() = default;
        PolyhedronFacet( index_t polyhedron, local_index_t facet )
            : polyhedron_id( polyhedron ), facet_id( facet )
        {
        }

        [[nodiscard]] bool operator==(
            const PolyhedronFacet& other ) const = default;
        [[nodiscard]] std::string string() const
        {
            return absl::StrCat( "(polyhedron ", polyhedron_id, ", facet ",
                static_cast< unsigned >( facet_id ), ")" );
        }
        template < typename H >
        friend H AbslHashValue( H hash, const PolyhedronFacet& value )
        {
            return H::combine(
                std::move( hash ), value.polyhedron_id, value.facet_id );
        }

        index_t polyhedron_id{ NO_ID };
        local_index_t facet_id{ NO_LID };
    };
} // namespace brevane
